// The common file dialogs (open and save, classic API rather than the Vista
// IFileDialog) and the shell's folder browser, all with wide paths.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace kw39::app {

struct FileDialogOptions {
    std::wstring title;
    // Display name and pattern pairs separated by "|", ending in "||".
    std::wstring filter;
    std::wstring defaultExtension;
    // Initial file name; a full path opens the dialog in that file's folder.
    std::wstring initialName;
};

// The chosen full path, or nothing on Cancel.
std::optional<std::wstring> AskOpenFile(HWND owner, const FileDialogOptions& options);
std::optional<std::wstring> AskSaveFile(HWND owner, const FileDialogOptions& options);

// The file-system folder the user confirmed, or nothing. The browser is rooted
// at the desktop and opens with `preselect` selected when it is not empty.
std::optional<std::wstring> AskFolder(HWND owner, const std::wstring& instruction,
                                      const std::wstring& preselect);

// The CP932 spelling of a path the user picked, for the core; nothing, after a
// message owned by `owner`, when the path has characters outside CP932 and so
// cannot be used.
std::optional<std::string> PathForCore(HWND owner, const std::wstring& path);

// The folder part of `path` with its last backslash (or slash); empty when it
// has none.
std::wstring FolderOf(const std::wstring& path);

// The filter string in the form the dialogs want: each "|" becomes a NUL.
std::wstring FilterFromPipes(const std::wstring& filter);

}  // namespace kw39::app
