#include "platform/visible_text.h"

#include <algorithm>

#include "platform/sjis.h"

namespace kw39::platform {

namespace {

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
        if (IsLeadByte(c)) {
            // A lead byte without its trail byte would take the next
            // character, a shown code's backslash included, with it.
            if (i + 1 < cp932.size() &&
                IsTrailByte(static_cast<unsigned char>(cp932[i + 1]))) {
                out.append(cp932.substr(i, 2));
                ++i;
            } else {
                AppendCode(out, c);
            }
        } else if (IsControlOrUndefinedByte(c) &&
                   keep.find(static_cast<char>(c)) == std::string_view::npos) {
            AppendCode(out, c);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

}  // namespace kw39::platform
