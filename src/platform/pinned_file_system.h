// The files a run checked, kept open for the run itself. Between the checks and
// the writing the user answers a question, and a long conversion takes its
// time: whoever may rename files meanwhile must not be able to put another
// file in the place of a checked one. Each input is therefore read from the
// handle it was checked through, and the output is written through the
// destination that was checked.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/forwarding_file_system.h"

namespace kw39::platform {

class PinnedFiles {
  public:
    // `checked`: the file's stamp before the checks read it.
    void PinInput(const std::string& path, std::shared_ptr<InputFile> file,
                  std::optional<FileStamp> checked);
    void PinDestination(const std::string& path, std::shared_ptr<WriteDestination> destination);

    // Null when `path` was not pinned.
    InputFile* Input(const std::string& path) const;
    // The stamp a pinned input had when it was checked; nothing when unknown.
    std::optional<FileStamp> CheckedStamp(const std::string& path) const;
    std::shared_ptr<WriteDestination> Destination(const std::string& path) const;

  private:
    struct PinnedInput {
        std::shared_ptr<InputFile> file;
        std::optional<FileStamp> checked;
    };
    std::map<std::string, PinnedInput> m_mapInputs;
    std::map<std::string, std::shared_ptr<WriteDestination>> m_mapDestinations;
};

// `inner` with the pinned files in place of their names. A pinned input that
// cannot be read again from its handle is opened again by name; when that
// fails, or gives another file, reading it fails with a message naming it. One
// written again since it was checked fails too (InputChangedError).
class PinnedFileSystem : public ForwardingFileSystem {
  public:
    // Both must outlive this object and the files it opens.
    PinnedFileSystem(FileSystem& inner, const PinnedFiles& pins)
        : ForwardingFileSystem(inner), m_pins(pins) {}

    std::optional<FileStatus> Stat(const std::string& path) override;
    std::unique_ptr<InputFile> OpenRead(const std::string& path) override;
    DestinationResult OpenDestination(const std::string& path) override;

  private:
    const PinnedFiles& m_pins;
};

}  // namespace kw39::platform
