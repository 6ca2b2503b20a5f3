#include "pca/csv_fields.h"

#include "platform/sjis.h"

namespace kw39 {

namespace {

// Bytes that are copied as they are, whatever the quoting.
bool IsPlainByte(char c) {
    return c != '"' && c != ',' && !platform::IsLeadByte(static_cast<unsigned char>(c));
}

}  // namespace

void SplitCsvFields(std::string_view line, CsvFields& fields) {
    fields.clear();
    const std::string_view text = platform::TrimLeadingBlanks(platform::TrimTrailingBlanks(line));
    int quotes = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (IsPlainByte(c)) {
            std::size_t end = i + 1;
            while (end < text.size() && IsPlainByte(text[end])) ++end;
            fields.AppendBytes(text.substr(i, end - i));
            i = end;
            continue;
        }
        if (platform::CharLength(text, i) == 2) {
            // Both bytes of a double-byte character pass unchanged: neither can
            // open a quote or end a field.
            fields.AppendBytes(text.substr(i, 2));
            i += 2;
            continue;
        }
        if (c == '"') {
            const bool last = i + 1 == text.size();
            if (quotes == 0 || last || text[i + 1] == ',') {
                ++quotes;
            } else {
                // A quote inside a field becomes a grave accent; the importing
                // system relies on this exact byte.
                fields.AppendByte('`');
            }
        } else if (c == ',' && quotes % 2 == 0) {
            fields.EndField();
            quotes = 0;
        } else {
            fields.AppendByte(c);  // a comma inside quotes, or a lone lead byte at the end
        }
        ++i;
    }
    fields.EndField();
}

}  // namespace kw39
