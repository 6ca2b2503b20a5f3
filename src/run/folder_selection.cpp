#include "run/folder_selection.h"

#include <string_view>
#include <vector>

#include "platform/messages.h"
#include "platform/sjis.h"
#include "run/input_slots.h"

namespace kw39 {

namespace {

// True when `needle` occurs in `text` starting at a character boundary, so that
// the trail byte of a double-byte character never starts a match.
bool ContainsSjis(std::string_view text, std::string_view needle) {
    for (std::size_t i = 0; i + needle.size() <= text.size(); i += platform::CharLength(text, i)) {
        if (text.compare(i, needle.size(), needle) == 0) return true;
    }
    return false;
}

}  // namespace

FolderSelection SelectFilesFromFolder(const std::string& folder, platform::FileSystem& fs) {
    std::array<std::vector<std::string>, kSlotCount> matches;
    for (const std::string& name : fs.ListCsvFiles(folder).value_or(std::vector<std::string>{})) {
        const std::string upper = platform::ToUpperSjis(platform::ShownPath(name));
        for (std::size_t s = 0; s < kSlotCount; ++s) {
            if (ContainsSjis(upper, InputSlots[s].pszPrefix)) matches[s].push_back(name);
        }
    }

    std::string missing;
    for (std::size_t s = 0; s < kSlotCount; ++s) {
        if (matches[s].size() != 1) {
            missing += std::string(InputSlots[s].pszLabel) + "\n";
            continue;
        }
        // One file cannot be two kinds at once: then nothing is chosen at all.
        for (std::size_t earlier = 0; earlier < s; ++earlier) {
            if (matches[earlier].size() == 1 && matches[earlier].front() == matches[s].front()) {
                return {};
            }
        }
    }

    FolderSelection selection;
    for (std::size_t s = 0; s < kSlotCount; ++s) {
        if (matches[s].size() == 1)
            selection.paths[s] = platform::JoinPath(folder, matches[s].front());
    }
    if (!missing.empty()) {
        selection.message = platform::MakeMessage(platform::MessageId::FolderKindsMissing,
                                                  platform::MessageStyle::Warning, {missing});
    }
    return selection;
}

bool HoldsPcaExport(const std::string& folder, platform::FileSystem& fs) {
    for (const std::string& name : fs.ListCsvFiles(folder).value_or(std::vector<std::string>{})) {
        const std::string upper = platform::ToUpperSjis(platform::ShownPath(name));
        for (const InputSlot& slot : InputSlots) {
            if (ContainsSjis(upper, slot.pszPrefix)) return true;
        }
    }
    return false;
}

bool PutSelectedFiles(RunRequest& request, const FolderSelection& selection) {
    bool chosen = false;
    for (std::size_t s = 0; s < kSlotCount; ++s) {
        if (!selection.paths[s]) continue;
        request.inputPaths[s] = *selection.paths[s];
        chosen = true;
    }
    return chosen;
}

}  // namespace kw39
