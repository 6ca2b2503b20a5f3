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

std::string VisibleNamesIn(std::string message, std::vector<std::string> names) {
    // Longer names first: a path holds the name of its folder, and once the
    // path is shown the folder's name no longer matches inside it.
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    for (const std::string& name : names) {
        const std::string shown = VisibleName(name);
        if (name.empty() || shown == name) continue;
        for (std::size_t at = message.find(name); at != std::string::npos;
             at = message.find(name, at + shown.size())) {
            message.replace(at, name.size(), shown);
        }
    }
    return message;
}

}  // namespace kw39::cli
