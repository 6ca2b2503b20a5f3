// The failure raised when reading or writing a file goes wrong after it was
// opened (or when the output cannot be created or put in place). It carries
// its message for the user, which names the file; what() is its CP932 text.
#pragma once

#include <stdexcept>
#include <string>

#include "platform/messages.h"

namespace kw39::platform {

class IoError : public std::runtime_error {
  public:
    // `shown`: the path as text to show (ShownPath).
    IoError(MessageId id, const std::string& path, std::string shown)
        : std::runtime_error(TextOf(id, {shown})),
          m_id(id),
          m_strPath(path),
          m_strShown(std::move(shown)) {}
    const std::string& Path() const { return m_strPath; }
    Message ToMessage() const { return MakeMessage(m_id, MessageStyle::Error, {m_strShown}); }

  private:
    MessageId m_id;
    std::string m_strPath;
    std::string m_strShown;
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

// A file to be read was written again (a new export in its place) after the
// checks before the run had read it: what they found no longer holds.
class InputChangedError : public IoError {
  public:
    explicit InputChangedError(const std::string& path);
};

}  // namespace kw39::platform
