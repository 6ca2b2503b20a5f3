// Version strings from the running program's own version resource.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "platform/version.h"

namespace kw39::platform {

namespace {

std::vector<char> ReadVersionInfo() {
    char path[1024] = {};
    if (GetModuleFileNameA(nullptr, path, sizeof path) == 0) return {};
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (size == 0) return {};
    std::vector<char> info(size);
    if (!GetFileVersionInfoA(path, 0, size, info.data())) return {};
    return info;
}

std::string QueryString(std::vector<char>& info, const char* subBlock) {
    void* value = nullptr;
    UINT length = 0;
    if (VerQueryValueA(info.data(), subBlock, &value, &length) != 1 || !value) return {};
    return std::string(static_cast<const char*>(value));
}

}  // namespace

std::string ReadProductVersion() {
    auto info = ReadVersionInfo();
    if (info.empty()) return {};
    return QueryString(info, "\\StringFileInfo\\041104b0\\ProductVersion");
}

std::string ReadFileVersion() {
    auto info = ReadVersionInfo();
    if (info.empty()) return {};
    void* value = nullptr;
    UINT length = 0;
    if (VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", &value, &length) != 1 ||
        !value || length < 4)
        return {};
    const WORD* pair = static_cast<const WORD*>(value);
    char subBlock[64];
    std::snprintf(subBlock, sizeof subBlock, "\\StringFileInfo\\%04x%04x\\FileVersion", pair[0],
                  pair[1]);
    return QueryString(info, subBlock);
}

}  // namespace kw39::platform
