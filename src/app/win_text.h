// Texts at the window edge: reading and setting control texts, resource
// strings and the application's message boxes. Windows sees UTF-16; callers
// that hold CP932 convert through platform/encoding_win.h.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/message.h"
#include "platform/messages.h"

namespace kw39::app {

// The whole window text of any window, also one of another program.
std::wstring WindowText(HWND window);

// A string resource of this program; empty when it does not exist.
std::wstring LoadResourceString(UINT id);

// "OrvellefromPCA給与X", the caption of every message box.
std::wstring AppTitle();

// The text of a message of the catalogue, as a window shows it.
std::wstring CatalogueText(platform::MessageId id);

// A message about a path that is no Unicode text, which no CP932 message can
// carry: what is wrong (`what`), the path as it came, and what to do
// (`remedy`), each its own paragraph.
std::wstring PathRefusal(platform::MessageId what, std::wstring_view path,
                         platform::MessageId remedy);

// The MessageBox flags of each message style.
UINT MessageBoxFlags(platform::MessageStyle style);

// A modal message box owned by `owner` with the application title.
platform::MessageAnswer ShowMessageBox(HWND owner, const std::wstring& text,
                                       platform::MessageStyle style);

}  // namespace kw39::app
