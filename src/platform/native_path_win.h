// Windows paths in the program are UTF-8: the UTF-16 text of the command line
// or of the dialog, converted without loss, and converted back only at the
// call into Windows. Shift_JIS stays the encoding of data and of what is
// shown; a name that Shift_JIS cannot spell still names its file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kw39::platform {

// The path as Windows names it; nothing when it is not UTF-8 (no file has
// such a name).
std::optional<std::wstring> WidePath(std::string_view path);

// The path handed to the file functions: made absolute the way Windows itself
// does it, then in the "\\?\" form, so that a path of any length reaches the
// real file. Nothing when it is not UTF-8 or is empty.
std::optional<std::wstring> SystemPath(std::string_view path);

// A path that Windows gave; nothing when it is no Unicode text (a lone
// surrogate).
std::optional<std::string> PathFromWide(std::wstring_view wide);

}  // namespace kw39::platform
