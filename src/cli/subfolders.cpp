#include "cli/subfolders.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/encoding.h"

namespace kw39::cli {

namespace {

// UTF-8 names the folder alike on every platform (std::filesystem converts it
// to the wide names of Windows).
std::filesystem::path PathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// A UTF-8 name in CP932 for display: each character CP932 lacks becomes "?".
std::string DisplayName(const std::string& utf8) {
    std::string shown;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        std::size_t length = 1;
        if (lead >= 0xF0) {
            length = 4;
        } else if (lead >= 0xE0) {
            length = 3;
        } else if (lead >= 0xC0) {
            length = 2;
        }
        length = std::min(length, utf8.size() - i);
        const std::optional<std::string> piece = platform::Utf8ToCp932(utf8.substr(i, length));
        shown += piece ? *piece : std::string("?");
        i += length;
    }
    return shown;
}

std::string Utf8NameOf(const std::filesystem::path& path) {
    const std::u8string name = path.filename().u8string();
    return std::string(name.begin(), name.end());
}

}  // namespace

Subfolders ListSubfolders(const std::string& folder) {
    Subfolders found;
    const std::optional<std::string> utf8 = platform::Cp932ToUtf8(folder);
    if (!utf8) {
        found.readable = false;
        return found;
    }
    std::error_code error;
    std::filesystem::directory_iterator it(PathOf(*utf8), error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        std::error_code kindError;
        if (!it->is_directory(kindError)) continue;
        const std::string name = Utf8NameOf(it->path());
        if (std::optional<std::string> cp932 = platform::Utf8ToCp932(name)) {
            found.names.push_back(std::move(*cp932));
        } else {
            found.unnamed.push_back(DisplayName(name));
        }
    }
    if (error) found.readable = false;
    std::sort(found.names.begin(), found.names.end());
    std::sort(found.unnamed.begin(), found.unnamed.end());
    return found;
}

}  // namespace kw39::cli
