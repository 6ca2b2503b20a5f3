// Section header lines of a PCA export ("[10601]") and the CSV splitting of its
// data lines. Both are shared by the reader and the input checks.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "pca/csv_fields.h"

namespace kw39 {

// True when `line`, with trailing blanks removed, is a header line: not empty,
// no comma, its first "[" is the first byte and its first "]" is at byte offset
// 6 (searches are Shift_JIS aware). Inline for its first test: asked for
// every line read, and nearly every line fails it at its first byte (one that
// is not a blank, so trimming the end never changes it).
bool IsHeaderLineFrom(std::string_view line);
inline bool IsHeaderLine(std::string_view line) {
    return !line.empty() && line[0] == '[' && IsHeaderLineFrom(line);
}

// The table code of a header line: the trimmed line with every "[" and "]"
// removed ("[10601]" gives "10601", "[10601]x" gives "10601x").
std::string HeaderTableCode(std::string_view line);

// Splits one CSV line into fields by the PCA quote rules: surrounding blanks of
// the line are removed; a double quote opens or closes quoting when no quote is
// open, when it is the last byte, or when a comma follows; any other double
// quote becomes a grave accent "`"; a comma ends the field when the quote count
// is even. The last field is always appended, even when empty. The result
// tells whether the quotes of the line probably cut it wrongly.
QuoteFault SplitCsvLine(std::string_view line, std::vector<std::string>& fields);

}  // namespace kw39
