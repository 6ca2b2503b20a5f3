// What the terminals of every platform do alike once the text is in the
// stream's encoding: write it whole, or read one line of piped input.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace kw39::cli {

// Writes `bytes` to `stream` and flushes it; false when not all of it got out.
bool WriteFlushed(std::FILE* stream, std::string_view bytes);

// One line of standard input read as bytes, without its LF or CR LF; nothing
// at the end of the input.
std::optional<std::string> ReadStdinBytes();

}  // namespace kw39::cli
