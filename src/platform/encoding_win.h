// Windows only: CP932 <-> UTF-16 at the edge to the wide-character Win32
// functions. The program's text stays CP932 whatever the system's ANSI code
// page is; only the calls into Windows see UTF-16.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kw39::platform {

// Nothing when `text` holds a byte sequence that is not CP932.
std::optional<std::wstring> Cp932ToWide(std::string_view text);

// Nothing when a character has no exact CP932 counterpart: no best-fit
// look-alikes, so a file name never turns into the name of another file.
std::optional<std::string> WideToCp932(std::wstring_view text);

// For texts that are only shown or typed: what cannot be converted becomes a
// substitute character ("・" and "?") instead of failing.
std::wstring Cp932ToWideLossy(std::string_view text);
std::string WideToCp932Lossy(std::wstring_view text);

// UTF-16 <-> UTF-8, strict.
std::optional<std::string> WideToUtf8(std::wstring_view text);
std::optional<std::wstring> Utf8ToWide(std::string_view text);

}  // namespace kw39::platform
