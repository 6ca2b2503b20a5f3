#include "app/win_text.h"

#include "app/resource.h"
#include "platform/encoding_win.h"

namespace kw39::app {

std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(window, text.data(), length + 1);
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return text;
}

std::wstring LoadResourceString(UINT id) {
    const wchar_t* text = nullptr;
    // With a zero buffer size LoadStringW hands out the read-only resource itself.
    const int length =
        LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text) return {};
    return std::wstring(text, static_cast<std::size_t>(length));
}

std::wstring AppTitle() {
    static const std::wstring title = [] {
        std::wstring loaded = LoadResourceString(IDS_APP_TITLE);
        return loaded.empty() ? std::wstring(L"OrvellefromPCA給与X") : loaded;
    }();
    return title;
}

UINT MessageBoxFlags(platform::MessageStyle style) {
    switch (style) {
        case platform::MessageStyle::Warning:
            return MB_OK | MB_ICONEXCLAMATION;
        case platform::MessageStyle::Confirm:
            return MB_OKCANCEL | MB_ICONINFORMATION;
        case platform::MessageStyle::Info:
            return MB_OK | MB_ICONINFORMATION;
        case platform::MessageStyle::Error:
            return MB_OK | MB_ICONSTOP;
        case platform::MessageStyle::Question:
            return MB_YESNO | MB_ICONQUESTION;
    }
    return MB_OK | MB_ICONEXCLAMATION;
}

platform::MessageAnswer ShowMessageBox(HWND owner, const std::wstring& text,
                                       platform::MessageStyle style) {
    const int pressed =
        MessageBoxW(owner, text.c_str(), AppTitle().c_str(), MessageBoxFlags(style));
    switch (style) {
        case platform::MessageStyle::Confirm:
            return pressed == IDOK ? platform::MessageAnswer::Ok : platform::MessageAnswer::Cancel;
        case platform::MessageStyle::Question:
            return pressed == IDYES ? platform::MessageAnswer::Yes : platform::MessageAnswer::No;
        default:
            return platform::MessageAnswer::Ok;
    }
}

std::wstring CatalogueText(platform::MessageId id) {
    return platform::Cp932ToWideLossy(platform::TextOf(id));
}

std::wstring PathRefusal(platform::MessageId what, std::wstring_view path,
                         platform::MessageId remedy) {
    return CatalogueText(what) + L"\n\n" + std::wstring(path) + L"\n\n" + CatalogueText(remedy);
}

}  // namespace kw39::app
