#include "platform/sjis.h"

#include <array>
#include <cstdint>

namespace kw39::platform {

bool IsPrintableCp932(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        const auto c = static_cast<unsigned char>(text[pos]);
        if (IsLeadByte(c)) {
            if (++pos == text.size() || !IsTrailByte(static_cast<unsigned char>(text[pos]))) {
                return false;
            }
        } else if (IsControlOrUndefinedByte(c)) {
            return false;
        }
    }
    return true;
}

std::size_t FindSingleByte(std::string_view text, char c, std::size_t from) {
    for (std::size_t i = from; i < text.size();) {
        const std::size_t len = CharLength(text, i);
        if (len == 1 && text[i] == c) return i;
        i += len;
    }
    return std::string_view::npos;
}

namespace {

// The trail bytes of one lead byte that make a character, as ranges.
struct TrailRange {
    unsigned char lead;
    unsigned char first;
    unsigned char last;
};

// The assigned codes of CP932 (the leads not listed, 0x85, 0x86, 0xEB, 0xEC
// and 0xEF, have none). The rows from 0x89 on are full except where listed.
constexpr TrailRange kAssigned[] = {
    {0x81, 0x40, 0x7E}, {0x81, 0x80, 0xAC}, {0x81, 0xB8, 0xBF},
    {0x81, 0xC8, 0xCE}, {0x81, 0xDA, 0xE8}, {0x81, 0xF0, 0xF7},
    {0x81, 0xFC, 0xFC},  // symbols
    {0x82, 0x4F, 0x58}, {0x82, 0x60, 0x79}, {0x82, 0x81, 0x9A},
    {0x82, 0x9F, 0xF1},  // digits, Latin, hiragana
    {0x83, 0x40, 0x7E}, {0x83, 0x80, 0x96}, {0x83, 0x9F, 0xB6},
    {0x83, 0xBF, 0xD6},  // katakana, Greek
    {0x84, 0x40, 0x60}, {0x84, 0x70, 0x7E}, {0x84, 0x80, 0x91},
    {0x84, 0x9F, 0xBE},  // Cyrillic, box drawing
    {0x87, 0x40, 0x5D}, {0x87, 0x5F, 0x75}, {0x87, 0x7E, 0x7E},
    {0x87, 0x80, 0x9C},                                          // NEC special
    {0x88, 0x9F, 0xFC},                                          // first kanji
    {0x98, 0x40, 0x72}, {0x98, 0x9F, 0xFC},                      // end of level 1, start of level 2
    {0xEA, 0x40, 0x7E}, {0xEA, 0x80, 0xA4},                      // end of level 2
    {0xEE, 0x40, 0x7E}, {0xEE, 0x80, 0xEC}, {0xEE, 0xEF, 0xFC},  // NEC-selected IBM extensions
    {0xFC, 0x40, 0x4B},                                          // end of the IBM extensions
};

constexpr bool IsFullRow(unsigned char lead) {
    return (lead >= 0x89 && lead <= 0x97) || (lead >= 0x99 && lead <= 0x9F) ||
           (lead >= 0xE0 && lead <= 0xE9) || lead == 0xED || (lead >= 0xF0 && lead <= 0xFB);
}

// One bit per trail byte, per lead byte.
using TrailBits = std::array<std::uint64_t, 4>;

constexpr std::array<TrailBits, 256> MakeAssignedTable() {
    std::array<TrailBits, 256> table{};
    const auto set = [&table](unsigned lead, unsigned first, unsigned last) {
        for (unsigned t = first; t <= last; ++t)
            table[lead][t / 64] |= std::uint64_t{1} << (t % 64);
    };
    for (unsigned lead = 0; lead < 256; ++lead) {
        if (!IsFullRow(static_cast<unsigned char>(lead))) continue;
        set(lead, 0x40, 0x7E);
        set(lead, 0x80, 0xFC);
    }
    for (const TrailRange& range : kAssigned) set(range.lead, range.first, range.last);
    return table;
}

// Upper-case partner of one double-byte character, as a 16-bit code.
unsigned UpperDoubleByte(unsigned code) {
    if (code >= 0x8281 && code <= 0x829A) return code - 0x21;  // full-width a-z
    if (code >= 0x83BF && code <= 0x83D6) return code - 0x20;  // Greek
    if (code >= 0x8470 && code <= 0x847E) return code - 0x30;  // Cyrillic a..n
    if (code >= 0x8480 && code <= 0x8491) return code - 0x31;  // Cyrillic o..ya (0x847F unused)
    return code;
}

}  // namespace

constinit const std::array<std::array<std::uint64_t, 4>, 256> sjis_detail::kAssignedTrails =
    MakeAssignedTable();

std::string ToUpperSjis(std::string_view text) {
    std::string out(text);
    for (std::size_t i = 0; i < out.size();) {
        const std::size_t len = CharLength(out, i);
        if (len == 2) {
            const unsigned code =
                (static_cast<unsigned char>(out[i]) << 8) | static_cast<unsigned char>(out[i + 1]);
            const unsigned upper = UpperDoubleByte(code);
            out[i] = static_cast<char>(upper >> 8);
            out[i + 1] = static_cast<char>(upper & 0xFF);
        } else if (out[i] >= 'a' && out[i] <= 'z') {
            out[i] = static_cast<char>(out[i] - 'a' + 'A');
        }
        i += len;
    }
    return out;
}

std::string RemoveSingleByte(std::string_view text, char c) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t len = CharLength(text, i);
        if (!(len == 1 && text[i] == c)) out.append(text.substr(i, len));
        i += len;
    }
    return out;
}

}  // namespace kw39::platform
