#include "pca/data_line_error.h"

#include "platform/file_system.h"

namespace kw39 {

DataLineError::DataLineError(const std::string& path, std::size_t lineNumber,
                             const std::string& reason)
    : std::invalid_argument(
          platform::TextOf(platform::MessageId::DataLineMalformed,
                           {platform::ShownPath(path), std::to_string(lineNumber), reason})),
      m_strPath(path),
      m_nLine(lineNumber),
      m_strReason(reason) {}

platform::Message DataLineError::ToMessage() const {
    return platform::MakeMessage(
        platform::MessageId::DataLineMalformed, platform::MessageStyle::Error,
        {platform::ShownPath(m_strPath), std::to_string(m_nLine), m_strReason});
}

}  // namespace kw39
