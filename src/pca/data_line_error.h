// The failure raised for a malformed data line. Its message names the file
// and the line number, so the clerk can find the line; what() is its text.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

#include "platform/messages.h"

namespace kw39 {

class DataLineError : public std::invalid_argument {
  public:
    // `reason` says what is wrong with the line (CP932), for example that it has
    // more fields than the table has columns.
    DataLineError(const std::string& path, std::size_t lineNumber, const std::string& reason);

    const std::string& Path() const { return m_strPath; }
    std::size_t LineNumber() const { return m_nLine; }
    platform::Message ToMessage() const;

  private:
    std::string m_strPath;
    std::size_t m_nLine;
    std::string m_strReason;
};

}  // namespace kw39
