#include "pca/header_line.h"

#include "pca/csv_fields.h"
#include "platform/sjis.h"

namespace kw39 {

namespace {
constexpr std::size_t kClosingBracketOffset = 6;
}

bool IsHeaderLineFrom(std::string_view line) {
    const std::string_view text = platform::TrimTrailingBlanks(line);
    // A "[" as the first byte is the first "[" (a byte at offset 0 always
    // starts a character).
    return !text.empty() && text[0] == '[' &&
           platform::FindSingleByte(text, ']') == kClosingBracketOffset &&
           platform::FindSingleByte(text, ',') == std::string_view::npos;
}

std::string HeaderTableCode(std::string_view line) {
    const std::string_view text = platform::TrimTrailingBlanks(line);
    return platform::RemoveSingleByte(platform::RemoveSingleByte(text, '['), ']');
}

QuoteFault SplitCsvLine(std::string_view line, std::vector<std::string>& fields) {
    CsvFields split;
    const QuoteFault fault = SplitCsvInto(line, split);
    fields.clear();
    fields.reserve(split.size());
    for (std::size_t i = 0; i < split.size(); ++i) fields.emplace_back(split[i]);
    return fault;
}

}  // namespace kw39
