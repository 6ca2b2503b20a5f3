// The direct subfolders of a folder, for the batch: one company per subfolder.
#pragma once

#include <string>
#include <vector>

namespace kw39::cli {

struct Subfolders {
    std::vector<std::string> names;  // CP932, sorted byte-wise
    // Folders whose names CP932 cannot spell, for display: "?" stands for
    // each character it lacks.
    std::vector<std::string> unnamed;
    bool readable = true;  // false when the folder could not be listed
};

// Lists the folders directly inside `folder` (a CP932 path); files and deeper
// folders are not listed. A link to a folder counts as a folder.
Subfolders ListSubfolders(const std::string& folder);

}  // namespace kw39::cli
