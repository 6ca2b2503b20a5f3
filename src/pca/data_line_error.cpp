#include "pca/data_line_error.h"

namespace kw39 {

namespace {

std::string ComposeMessage(const std::string& path, std::size_t lineNumber,
                           const std::string& reason) {
    return "引数が正しくありません。\n" + path + " の " + std::to_string(lineNumber) +
           " 行目: " + reason;
}

}  // namespace

DataLineError::DataLineError(const std::string& path, std::size_t lineNumber,
                             const std::string& reason)
    : std::invalid_argument(ComposeMessage(path, lineNumber, reason)),
      m_strPath(path),
      m_nLine(lineNumber) {}

}  // namespace kw39
