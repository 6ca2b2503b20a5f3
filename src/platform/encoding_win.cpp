// Code-page conversions through the Windows API, always with an explicit code
// page: 932 for the program's text, never CP_ACP.
#include "platform/encoding_win.h"

#include <windows.h>

#include <climits>

#include "platform/encoding.h"

namespace kw39::platform {

namespace {

constexpr UINT kCp932 = 932;

std::optional<std::wstring> ToWide(UINT codePage, DWORD flags, std::string_view text) {
    if (text.empty()) return std::wstring();
    if (text.size() > INT_MAX) return std::nullopt;
    const int inLength = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(codePage, flags, text.data(), inLength, nullptr, 0);
    if (needed <= 0) return std::nullopt;
    std::wstring out(static_cast<std::size_t>(needed), L'\0');
    if (MultiByteToWideChar(codePage, flags, text.data(), inLength, out.data(), needed) != needed)
        return std::nullopt;
    return out;
}

// `usedDefault` is only asked for where the code page supports it (not UTF-8).
std::optional<std::string> FromWide(UINT codePage, DWORD flags, std::wstring_view text,
                                    bool checkDefault) {
    if (text.empty()) return std::string();
    if (text.size() > INT_MAX) return std::nullopt;
    const int inLength = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultPtr = checkDefault ? &usedDefault : nullptr;
    const int needed = WideCharToMultiByte(codePage, flags, text.data(), inLength, nullptr, 0,
                                           nullptr, usedDefaultPtr);
    if (needed <= 0 || usedDefault) return std::nullopt;
    std::string out(static_cast<std::size_t>(needed), '\0');
    if (WideCharToMultiByte(codePage, flags, text.data(), inLength, out.data(), needed, nullptr,
                            usedDefaultPtr) != needed ||
        usedDefault)
        return std::nullopt;
    return out;
}

}  // namespace

std::optional<std::wstring> Cp932ToWide(std::string_view text) {
    return ToWide(kCp932, MB_ERR_INVALID_CHARS, text);
}

std::optional<std::string> WideToCp932(std::wstring_view text) {
    return FromWide(kCp932, WC_NO_BEST_FIT_CHARS, text, true);
}

std::wstring Cp932ToWideLossy(std::string_view text) {
    auto wide = ToWide(kCp932, 0, text);
    return wide ? *wide : std::wstring();
}

std::string WideToCp932Lossy(std::wstring_view text) {
    if (text.empty()) return {};
    const int inLength = static_cast<int>(text.size() > INT_MAX ? INT_MAX : text.size());
    const int needed = WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, text.data(), inLength,
                                           nullptr, 0, "?", nullptr);
    if (needed <= 0) return {};
    std::string out(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, text.data(), inLength, out.data(), needed,
                        "?", nullptr);
    return out;
}

std::optional<std::string> WideToUtf8(std::wstring_view text) {
    return FromWide(CP_UTF8, WC_ERR_INVALID_CHARS, text, false);
}

std::optional<std::wstring> Utf8ToWide(std::string_view text) {
    return ToWide(CP_UTF8, MB_ERR_INVALID_CHARS, text);
}

std::optional<std::string> Cp932ToUtf8(std::string_view text) {
    auto wide = Cp932ToWide(text);
    if (!wide) return std::nullopt;
    return WideToUtf8(*wide);
}

std::optional<std::string> Utf8ToCp932(std::string_view text) {
    auto wide = Utf8ToWide(text);
    if (!wide) return std::nullopt;
    return WideToCp932(*wide);
}

}  // namespace kw39::platform
