#include "cli/visible_text.h"

#include <algorithm>

#include "platform/sjis.h"

namespace kw39::cli {

namespace {

constexpr bool IsTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

// Single bytes that are a control character or no CP932 character at all.
constexpr bool IsShownAsCode(unsigned char c) {
    return c < 0x20 || c == 0x7F || c == 0x80 || c == 0xA0 || c >= 0xFD;
}

void AppendCode(std::string& out, unsigned char c) {
    constexpr char kHex[] = "0123456789ABCDEF";
    out += "\\x";
    out += kHex[c >> 4];
    out += kHex[c & 0x0F];
}

}  // namespace

std::string VisibleText(std::string_view cp932, std::string_view keep) {
    std::string out;
    out.reserve(cp932.size());
    for (std::size_t i = 0; i < cp932.size(); ++i) {
        const auto c = static_cast<unsigned char>(cp932[i]);
        if (platform::IsLeadByte(c)) {
            // A lead byte without its trail byte would take the next
            // character, a shown code's backslash included, with it.
            if (i + 1 < cp932.size() && IsTrailByte(static_cast<unsigned char>(cp932[i + 1]))) {
                out.append(cp932.substr(i, 2));
                ++i;
            } else {
                AppendCode(out, c);
            }
        } else if (IsShownAsCode(c) && keep.find(static_cast<char>(c)) == std::string_view::npos) {
            AppendCode(out, c);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

}  // namespace kw39::cli
