// A file that replaces another only once it is complete. It is written under a
// temporary name beside its target: created exclusively (a file or link
// planted under that name is never followed or truncated), with a random part
// in its name, private while written, and removed on every failure and on
// interruption. Committing puts it in place of the target in one step, keeping
// the permissions of the file it replaces; until then the old file stays.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/file_system.h"
#include "platform/interrupt_cleanup.h"

namespace kw39::platform {

// The marker in every temporary name: "<target>.~kw39-<random>.tmp". A file
// left by a process that was killed outright can be recognised by it.
inline constexpr const char* kTemporaryMarker = ".~kw39-";

class ReplacementFile {
  public:
    // Wraps the opened temporary file (for example to write it on a second
    // thread); the wrapper owns it from then on.
    using Wrapper = std::function<std::unique_ptr<OutputFile>(std::unique_ptr<OutputFile>)>;

    // Creates the temporary file beside `target`, or beside the file it
    // finally names when `target` is a symbolic link (the link stays a link).
    // Throws IoError naming `target` when it cannot be created.
    ReplacementFile(FileSystem& fs, const std::string& target, const Wrapper& wrap = {});
    // Not committed: the temporary file is closed and removed.
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    OutputFile& File() { return *m_pFile; }
    const std::string& TemporaryPath() const { return m_strTempPath; }

    // Closes the file (a failed flush or close is a failed write) and puts it
    // in place of the target. Throws IoError naming the target; the temporary
    // file is then removed.
    void Commit();

  private:
    void Discard() noexcept;

    FileSystem& m_fs;
    std::string m_strTarget;   // as given, for messages
    std::string m_strWritten;  // the file that is replaced (links resolved)
    std::string m_strTempPath;
    std::unique_ptr<OutputFile> m_pFile;  // null once closed or discarded
    std::unique_ptr<InterruptCleanup> m_pCleanup;
    bool m_bDone = false;
};

// A temporary file just created, registered for removal on interruption.
struct TemporaryFile {
    std::string path;
    std::unique_ptr<OutputFile> file;
    std::unique_ptr<InterruptCleanup> cleanup;
};

// Creates, beside `target`, a temporary file that nobody else can have
// prepared, and registers it in the same step. Throws IoError naming `target`.
TemporaryFile CreateTemporaryBeside(FileSystem& fs, const std::string& target);

// Writes `bytes` as the new content of `target` through a ReplacementFile.
// Throws IoError naming `target`.
void ReplaceFileContent(FileSystem& fs, const std::string& target, const std::string& bytes);

}  // namespace kw39::platform
