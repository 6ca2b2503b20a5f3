#include "pca/data_line_error.h"

#include "platform/file_system.h"

namespace kw39 {

namespace {

std::string ComposeMessage(const std::string& path, std::size_t lineNumber,
                           const std::string& reason) {
    // Appended piece by piece: GCC 12 misreports chained operator+ on
    // std::string (-Wrestrict) at higher optimisation levels.
    std::string message = "引数が正しくありません。\n";
    message += platform::ShownPath(path);
    message += " の ";
    message += std::to_string(lineNumber);
    message += " 行目: ";
    message += reason;
    return message;
}

}  // namespace

DataLineError::DataLineError(const std::string& path, std::size_t lineNumber,
                             const std::string& reason)
    : std::invalid_argument(ComposeMessage(path, lineNumber, reason)),
      m_strPath(path),
      m_nLine(lineNumber) {}

}  // namespace kw39
