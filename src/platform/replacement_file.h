// A file that replaces another only once it is complete. It is written under a
// temporary name beside its target, in the target's folder opened once:
// created exclusively (a file or link planted under that name is never
// followed or truncated), with a random part in its name, private while
// written, and removed on every failure and on interruption. Committing gives
// it its permissions through its handle, puts it on disk and then in place of
// the target in one step, after checking once more that the target is still
// the file it was; until then the old file stays.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/file_system.h"
#include "platform/interrupt_cleanup.h"

namespace kw39::platform {

class ReplacementFile {
  public:
    // Wraps the opened temporary file (for example to write it on a second
    // thread); the wrapper owns it from then on.
    using Wrapper = std::function<std::unique_ptr<OutputFile>(std::unique_ptr<OutputFile>)>;

    // Opens the destination of `target` (see FileSystem::OpenDestination) and
    // creates the temporary file in it. Throws IoError naming `target` when it
    // cannot be created.
    ReplacementFile(FileSystem& fs, const std::string& target, const Wrapper& wrap = {});
    // Not committed: the temporary file is closed and removed.
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    OutputFile& File() { return *m_pFile; }
    const std::string& TemporaryPath() const { return m_strTempPath; }

    // Closes the file (a failed flush or close is a failed write) and puts it
    // in place of the target. Throws IoError naming the target (a
    // TargetChangedError when the target is no longer the file that was
    // there); the temporary file is then removed.
    void Commit();

  private:
    void Discard() noexcept;

    std::string m_strTarget;  // as given, for messages
    std::shared_ptr<WriteDestination> m_pDestination;
    std::string m_strTempName;            // in the destination's folder
    std::string m_strTempPath;            // the same as a path, for the interruption
    std::unique_ptr<OutputFile> m_pFile;  // null once closed or discarded
    std::unique_ptr<InterruptCleanup> m_pCleanup;
    bool m_bDone = false;
};

// Writes `bytes` as the new content of `target` through a ReplacementFile.
// Throws IoError naming `target`.
void ReplaceFileContent(FileSystem& fs, const std::string& target, const std::string& bytes);

}  // namespace kw39::platform
