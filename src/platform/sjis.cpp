#include "platform/sjis.h"

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

std::string_view TrimTrailingBlanks(std::string_view text) {
    std::size_t end = text.size();
    while (end > 0 && IsAsciiBlank(text[end - 1])) --end;
    return text.substr(0, end);
}

std::string_view TrimLeadingBlanks(std::string_view text) {
    std::size_t begin = 0;
    while (begin < text.size() && IsAsciiBlank(text[begin])) ++begin;
    return text.substr(begin);
}

namespace {

// Upper-case partner of one double-byte character, as a 16-bit code.
unsigned UpperDoubleByte(unsigned code) {
    if (code >= 0x8281 && code <= 0x829A) return code - 0x21;  // full-width a-z
    if (code >= 0x83BF && code <= 0x83D6) return code - 0x20;  // Greek
    if (code >= 0x8470 && code <= 0x847E) return code - 0x30;  // Cyrillic a..n
    if (code >= 0x8480 && code <= 0x8491) return code - 0x31;  // Cyrillic o..ya (0x847F unused)
    return code;
}

}  // namespace

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
