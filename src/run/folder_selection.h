// Choosing all six input files at once from a folder by their file-name prefixes.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "platform/file_system.h"

namespace kw39 {

struct FolderSelection {
    // The path for each slot that had exactly one match; nothing for the others
    // (their boxes keep their text). All empty when two slots matched the same file.
    std::array<std::optional<std::string>, 6> paths;
    // The Warning to show, or "" for none.
    std::string message;
};

FolderSelection SelectFilesFromFolder(const std::string& folder,
                                      platform::FileSystem& fs = platform::RealFileSystem());

}  // namespace kw39
