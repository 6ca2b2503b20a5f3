#include "platform/native_path_win.h"

#include <windows.h>

#include "platform/encoding_win.h"

namespace kw39::platform {

namespace {

bool StartsWith(std::wstring_view text, std::wstring_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

std::optional<std::wstring> WidePath(std::string_view path) { return Utf8ToWide(path); }

std::optional<std::string> PathFromWide(std::wstring_view wide) { return WideToUtf8(wide); }

std::optional<std::wstring> SystemPath(std::string_view path) {
    std::optional<std::wstring> wide = WidePath(path);
    if (!wide || wide->empty() || wide->find(L'\0') != std::wstring::npos) return std::nullopt;
    // Already in a form that Windows takes as it is.
    if (StartsWith(*wide, L"\\\\?\\") || StartsWith(*wide, L"\\\\.\\")) return wide;
    // GetFullPathNameW resolves "." and "..", the current folder and drive,
    // and drops the trailing dots and blanks of a name, exactly as every
    // Win32 file function does before it opens a path.
    DWORD size = GetFullPathNameW(wide->c_str(), 0, nullptr, nullptr);
    if (size == 0) return std::nullopt;
    std::wstring full(size, L'\0');
    size = GetFullPathNameW(wide->c_str(), size, full.data(), nullptr);
    if (size == 0 || size >= full.size()) return std::nullopt;
    full.resize(size);
    if (StartsWith(full, L"\\\\?\\") || StartsWith(full, L"\\\\.\\")) return full;
    if (StartsWith(full, L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

}  // namespace kw39::platform
