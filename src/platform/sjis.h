// Shift_JIS (code page 932) byte-string helpers. All text in the program is CP932;
// these functions never let the trail byte of a double-byte character pass for
// an ASCII character such as "[", "]", ",", "-", " " or a quote.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kw39::platform {

// True for the first byte of a double-byte CP932 character.
constexpr bool IsLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// True for a byte that may follow a lead byte.
constexpr bool IsTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

// True for a single byte that CP932 does not define: 0x80, 0xA0, 0xFD to 0xFF.
constexpr bool IsUndefinedSingleByte(unsigned char c) {
    return c == 0x80 || c == 0xA0 || c >= 0xFD;
}

// True for a single byte that is a control character (C0 or DEL) or no CP932
// character at all (0x80 is also read as a C1 control by Windows).
constexpr bool IsControlOrUndefinedByte(unsigned char c) {
    return c < 0x20 || c == 0x7F || IsUndefinedSingleByte(c);
}

// True when every byte of `text` belongs to a printable CP932 character: no
// control character, no undefined byte and no lead byte without its trail byte.
bool IsPrintableCp932(std::string_view text);

namespace sjis_detail {
// Per lead byte, the trail bytes of the characters CP932 assigns, one bit each.
extern const std::array<std::array<std::uint64_t, 4>, 256> kAssignedTrails;
}  // namespace sjis_detail

// True when the two bytes are one character of CP932: JIS X 0208, the NEC
// special characters (row 13), the NEC-selected and IBM extensions and the
// user-defined area F040 to F9FC. A lead byte with a trail byte in range can
// still name no character (0x8540, 0x886C): such a pair cannot be decoded,
// and a document that holds one cannot be read.
// Inline: asked for every double-byte character of every file.
inline bool IsCp932DoubleByte(unsigned char lead, unsigned char trail) {
    return (sjis_detail::kAssignedTrails[lead][trail / 64] >> (trail % 64)) & 1;
}

// Length in bytes of the character that starts at text[pos]: 2 for a lead byte
// followed by another byte, else 1 (a lead byte at the very end counts alone).
inline std::size_t CharLength(std::string_view text, std::size_t pos) {
    return IsLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size() ? 2 : 1;
}

// Offset of the first single-byte character `c` at or after `from`, stepping
// over double-byte characters; npos when there is none. `from` must be the start
// of a character.
std::size_t FindSingleByte(std::string_view text, char c, std::size_t from = 0);

// True for the blanks that line reading strips: space, tab, CR, LF, VT, FF.
constexpr bool IsAsciiBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// The text without trailing / leading ASCII blanks. The double-byte blank stays.
// Inline: asked for every line read.
inline std::string_view TrimTrailingBlanks(std::string_view text) {
    std::size_t end = text.size();
    while (end > 0 && IsAsciiBlank(text[end - 1])) --end;
    return text.substr(0, end);
}
inline std::string_view TrimLeadingBlanks(std::string_view text) {
    std::size_t begin = 0;
    while (begin < text.size() && IsAsciiBlank(text[begin])) ++begin;
    return text.substr(begin);
}

// Upper-cases ASCII letters and the double-byte Latin, Greek and Cyrillic
// letters of CP932; everything else (kana, kanji, trail bytes) is unchanged.
std::string ToUpperSjis(std::string_view text);

// Removes every single-byte character `c` (multibyte-aware).
std::string RemoveSingleByte(std::string_view text, char c);

}  // namespace kw39::platform
