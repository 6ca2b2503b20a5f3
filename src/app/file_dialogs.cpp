#include "app/file_dialogs.h"

#include <commdlg.h>
#include <shlobj.h>

#include <memory>

#include "app/win_text.h"
#include "platform/native_path_win.h"

namespace kw39::app {

namespace {

// Room for long paths; the core turns away paths of 260 bytes or more with its
// own message, which is clearer than a dialog that refuses the name.
constexpr DWORD kPathBuffer = 4096;

using DialogFunction = BOOL(WINAPI*)(LPOPENFILENAMEW);

std::optional<std::wstring> RunFileDialog(HWND owner, const FileDialogOptions& options, DWORD flags,
                                          DialogFunction show) {
    const std::wstring filter = FilterFromPipes(options.filter);
    std::wstring buffer(kPathBuffer, L'\0');
    if (options.initialName.size() < kPathBuffer)
        buffer.replace(0, options.initialName.size(), options.initialName);

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = kPathBuffer;
    ofn.lpstrTitle = options.title.c_str();
    ofn.lpstrDefExt = options.defaultExtension.c_str();
    ofn.Flags = flags | OFN_EXPLORER | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
    if (!show(&ofn)) return std::nullopt;
    buffer.resize(wcsnlen(buffer.c_str(), kPathBuffer));
    return buffer;
}

struct PidlDeleter {
    void operator()(ITEMIDLIST* pidl) const { CoTaskMemFree(pidl); }
};

int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM, LPARAM data) {
    const auto* preselect = reinterpret_cast<const std::wstring*>(data);
    if (message == BFFM_INITIALIZED && preselect && !preselect->empty())
        SendMessageW(window, BFFM_SETSELECTIONW, TRUE,
                     reinterpret_cast<LPARAM>(preselect->c_str()));
    return 0;
}

}  // namespace

std::optional<std::string> PathForCore(HWND owner, const std::wstring& path) {
    auto utf8 = platform::PathFromWide(path);
    if (!utf8)
        ShowMessageBox(owner,
                       PathRefusal(platform::MessageId::ChosenPathNotUnicode, path,
                                   platform::MessageId::ChosenPathRefused),
                       platform::MessageStyle::Warning);
    return utf8;
}

std::string CorePath(const std::wstring& path) {
    // A box only ever holds what PathForCore took.
    return platform::PathFromWide(path).value_or(std::string());
}

std::wstring BoxPath(const std::string& path) {
    return platform::WidePath(path).value_or(std::wstring());
}

std::wstring FolderOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring FilterFromPipes(const std::wstring& filter) {
    std::wstring out = filter;
    for (wchar_t& c : out)
        if (c == L'|') c = L'\0';
    // The list ends with two NULs whatever the text ends with.
    out.push_back(L'\0');
    out.push_back(L'\0');
    return out;
}

std::optional<std::wstring> AskOpenFile(HWND owner, const FileDialogOptions& options) {
    return RunFileDialog(owner, options, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, &GetOpenFileNameW);
}

std::optional<std::wstring> AskSaveFile(HWND owner, const FileDialogOptions& options) {
    return RunFileDialog(owner, options, OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY, &GetSaveFileNameW);
}

std::optional<std::wstring> AskFolder(HWND owner, const std::wstring& instruction,
                                      const std::wstring& preselect) {
    wchar_t displayName[MAX_PATH] = {};
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.pidlRoot = nullptr;  // the desktop
    info.pszDisplayName = displayName;
    info.lpszTitle = instruction.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = &BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(&preselect);
    const std::unique_ptr<ITEMIDLIST, PidlDeleter> chosen(SHBrowseForFolderW(&info));
    if (!chosen) return std::nullopt;
    wchar_t path[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(chosen.get(), path)) return std::nullopt;
    return std::wstring(path);
}

}  // namespace kw39::app
