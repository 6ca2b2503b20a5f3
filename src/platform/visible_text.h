// Texts on the terminal show their control characters instead of obeying
// them. Folder names, file names and data texts end up in messages, and an
// escape sequence in one would recolour, retitle or erase the terminal, a
// line feed would forge a status line, in a log as much as on a screen.
#pragma once

#include <string>
#include <string_view>

namespace kw39::platform {

// `cp932` with every control character (C0, DEL, and 0x80, which Windows
// reads as a C1 control) and every byte that is no CP932 character shown as
// "\x1B", except the characters in `keep`. The program's own texts hold no
// control character but line feeds (and the progress line's carriage return).
std::string VisibleText(std::string_view cp932, std::string_view keep = "\n");

// A name or path put into a message: its line feeds are shown as well.
inline std::string VisibleName(std::string_view cp932) { return VisibleText(cp932, {}); }

}  // namespace kw39::platform
