// Choosing all six input files at once from a folder by their file-name prefixes.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "platform/file_system.h"
#include "platform/message.h"
#include "run/input_slots.h"
#include "run/run_request.h"

namespace kw39 {

struct FolderSelection {
    // The path for each slot that had exactly one match; nothing for the others
    // (their boxes keep their text). All empty when two slots matched the same file.
    std::array<std::optional<std::string>, kSlotCount> paths;
    // The Warning to show, when there is one.
    std::optional<platform::Message> message;
};

// Puts the files a folder selection chose into their slots of `request`;
// false when it chose none.
bool PutSelectedFiles(RunRequest& request, const FolderSelection& selection);

// Looks in `folder` (not its subfolders) for one CSV file per slot whose
// upper-cased name contains the slot's prefix, and reports the slots that have
// none or several.
FolderSelection SelectFilesFromFolder(const std::string& folder,
                                      platform::FileSystem& fs = platform::RealFileSystem());

// True when `folder` (not its subfolders) holds at least one CSV file whose
// upper-cased name contains one of the six prefixes: a PCA export set to convert.
bool HoldsPcaExport(const std::string& folder,
                    platform::FileSystem& fs = platform::RealFileSystem());

}  // namespace kw39
