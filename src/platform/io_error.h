// The failure raised when reading or writing a file goes wrong after it was
// opened (or when the output cannot be created or put in place). The message is
// CP932 text ready for the user and names the file.
#pragma once

#include <stdexcept>
#include <string>

namespace kw39::platform {

class IoError : public std::runtime_error {
  public:
    IoError(const std::string& message, std::string path)
        : std::runtime_error(message), m_strPath(std::move(path)) {}
    const std::string& Path() const { return m_strPath; }

  private:
    std::string m_strPath;
};

// Messages for the usual failures, each followed by a line feed and the path.
IoError ReadError(const std::string& path);
IoError WriteError(const std::string& path);

// A file to be replaced is no longer the file that was checked before the
// run (or something now stands where nothing was): nothing was replaced.
class TargetChangedError : public IoError {
  public:
    explicit TargetChangedError(const std::string& path);
};

}  // namespace kw39::platform
