// Version strings from the running program's own version resource. The wide
// functions are used so that a program path outside the system code page is
// still found.
#include <windows.h>

#include <cwchar>
#include <vector>

#include "platform/encoding_win.h"
#include "platform/version.h"

namespace kw39::platform {

namespace {

std::wstring ModulePath() {
    std::wstring path(1024, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::vector<char> ReadVersionInfo() {
    const std::wstring path = ModulePath();
    if (path.empty()) return {};
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    if (size == 0) return {};
    std::vector<char> info(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, info.data())) return {};
    return info;
}

std::string QueryString(std::vector<char>& info, const wchar_t* subBlock) {
    void* value = nullptr;
    UINT length = 0;
    if (VerQueryValueW(info.data(), subBlock, &value, &length) != 1 || !value) return {};
    return WideToCp932Lossy(static_cast<const wchar_t*>(value));
}

}  // namespace

std::string ReadProductVersion() {
    auto info = ReadVersionInfo();
    if (info.empty()) return {};
    return QueryString(info, L"\\StringFileInfo\\041104b0\\ProductVersion");
}

std::string ReadFileVersion() {
    auto info = ReadVersionInfo();
    if (info.empty()) return {};
    void* value = nullptr;
    UINT length = 0;
    if (VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", &value, &length) != 1 ||
        !value || length < 4)
        return {};
    const WORD* pair = static_cast<const WORD*>(value);
    wchar_t subBlock[64];
    std::swprintf(subBlock, sizeof subBlock / sizeof subBlock[0],
                  L"\\StringFileInfo\\%04x%04x\\FileVersion", pair[0], pair[1]);
    return QueryString(info, subBlock);
}

}  // namespace kw39::platform
