// The CSV splitting of the PCA data lines. The rules live in one template,
// SplitCsvInto, that hands the bytes of every field to an output: the row
// storage splits the lines that hold quotes with it, and CsvFields collects
// the fields of one line in one reusable buffer.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sjis.h"

namespace kw39 {

class CsvFields {
  public:
    std::size_t size() const { return m_aEnds.size(); }
    std::string_view operator[](std::size_t i) const {
        const std::size_t begin = i == 0 ? 0 : m_aEnds[i - 1];
        return std::string_view(m_strBytes).substr(begin, m_aEnds[i] - begin);
    }

    void AppendByte(char c) { m_strBytes.push_back(c); }
    void AppendBytes(std::string_view bytes) { m_strBytes.append(bytes); }
    void EndField() { m_aEnds.push_back(m_strBytes.size()); }

  private:
    std::string m_strBytes;            // all fields, one after the other
    std::vector<std::size_t> m_aEnds;  // end offset of each field in m_strBytes
};

namespace csv_detail {

enum ByteClass : unsigned char { kPlain, kQuote, kComma, kLead };

constexpr std::array<unsigned char, 256> MakeByteClasses() {
    std::array<unsigned char, 256> classes{};
    for (int c = 0; c < 256; ++c) {
        classes[c] = platform::IsLeadByte(static_cast<unsigned char>(c)) ? kLead : kPlain;
    }
    classes['"'] = kQuote;
    classes[','] = kComma;
    return classes;
}

inline constexpr std::array<unsigned char, 256> kByteClasses = MakeByteClasses();

inline unsigned char ClassOf(char c) { return kByteClasses[static_cast<unsigned char>(c)]; }

}  // namespace csv_detail

// What a split tells about the quotes of its line. The splitting rule itself
// stays as exports rely on it; these are the lines where it probably cut the
// line other than its writer meant, and the clerk is told.
enum class QuoteFault {
    None,
    OddCount,            // an odd number of double quotes: a stray or unclosed quote
    CommaOutsideQuotes,  // a comma kept inside a field not wholly enclosed in quotes
};

namespace csv_detail {

// Whether a field whose bytes in the line are `raw` is enclosed in quotes as a
// whole: a quote first and last, and every quote between them doubled. A
// quote byte is never part of a double-byte character, so bytes are counted.
inline bool WhollyQuoted(std::string_view raw) {
    if (raw.size() < 2 || raw.front() != '"' || raw.back() != '"') return false;
    std::size_t run = 0;
    for (const char c : raw.substr(1, raw.size() - 2)) {
        if (c == '"') {
            ++run;
        } else if (run % 2 != 0) {
            return false;
        } else {
            run = 0;
        }
    }
    return run % 2 == 0;
}

}  // namespace csv_detail

// Splits one CSV line by the PCA quote rules (see SplitCsvLine in
// header_line.h) and hands the result to `out`, which provides
// AppendBytes(std::string_view), AppendByte(char) and EndField(). An `out`
// that also provides bool Done() ends the split once it answers true after a
// field: who needs only the first fields need not walk the rest of the line,
// and then gets QuoteFault::None. Otherwise the result tells what the quotes
// of the line look like (an odd count first).
template <class Out>
QuoteFault SplitCsvInto(std::string_view line, Out& out) {
    using namespace csv_detail;
    const std::string_view text = platform::TrimLeadingBlanks(platform::TrimTrailingBlanks(line));
    const char* p = text.data();
    const char* const end = p + text.size();
    int quotes = 0;
    std::size_t lineQuotes = 0;
    const char* fieldStart = p;  // of the current field, in the line
    bool commaKept = false;      // in the current field
    bool commaOutside = false;   // in any field of the line
    const auto endOfField = [&](const char* fieldEnd) {
        if (commaKept && !WhollyQuoted(std::string_view(
                             fieldStart, static_cast<std::size_t>(fieldEnd - fieldStart)))) {
            commaOutside = true;
        }
        commaKept = false;
        fieldStart = fieldEnd + 1;
    };
    while (p < end) {
        // A run of bytes copied as they are: plain bytes and whole double-byte
        // characters, whose bytes never open a quote or end a field.
        const char* const run = p;
        for (;;) {
            while (p < end && ClassOf(*p) == kPlain) ++p;
            if (p + 1 < end && ClassOf(*p) == kLead) {
                p += 2;
                continue;
            }
            break;
        }
        if (p != run) out.AppendBytes(std::string_view(run, static_cast<std::size_t>(p - run)));
        if (p == end) break;
        const char c = *p;
        if (c == '"') {
            ++lineQuotes;
            if (quotes == 0 || p + 1 == end || p[1] == ',') {
                ++quotes;
            } else {
                // A quote inside a field becomes a grave accent; the importing
                // system relies on this exact byte.
                out.AppendByte('`');
            }
        } else if (c == ',' && quotes % 2 == 0) {
            out.EndField();
            if constexpr (requires { out.Done(); }) {
                if (out.Done()) return QuoteFault::None;
            }
            endOfField(p);
            quotes = 0;
        } else {
            if (c == ',') commaKept = true;
            out.AppendByte(c);  // a comma inside quotes, or a lone lead byte at the end
        }
        ++p;
    }
    out.EndField();
    endOfField(end);
    if (lineQuotes % 2 != 0) return QuoteFault::OddCount;
    return commaOutside ? QuoteFault::CommaOutsideQuotes : QuoteFault::None;
}

}  // namespace kw39
