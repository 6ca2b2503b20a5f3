// Conversion between CP932, the program's one text encoding, and UTF-8, the
// encoding of terminals and file names outside Windows. Nothing else in the
// program converts text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kw39::platform {

// Nothing when the input is not valid in its encoding or has no counterpart.
std::optional<std::string> Cp932ToUtf8(std::string_view text);
std::optional<std::string> Utf8ToCp932(std::string_view text);

// For display: invalid bytes become "?" instead of failing.
std::string Cp932ToUtf8Lossy(std::string_view text);

}  // namespace kw39::platform
