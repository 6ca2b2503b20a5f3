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

// A path the user picked, as the core holds paths (its UTF-16 text in UTF-8,
// whatever characters it has); nothing, after a message owned by `owner`, when
// it is no Unicode text (a lone surrogate) and so names no file.
std::optional<std::string> PathForCore(HWND owner, const std::wstring& path);

// A path box's text as the core holds paths, and a path of the core as a box
// shows it: both without loss.
std::string CorePath(const std::wstring& path);
std::wstring BoxPath(const std::string& path);

// The folder part of `path` with its last backslash (or slash); empty when it
// has none.
std::wstring FolderOf(const std::wstring& path);

// The filter string in the form the dialogs want: each "|" becomes a NUL.
std::wstring FilterFromPipes(const std::wstring& filter);

}  // namespace kw39::app
