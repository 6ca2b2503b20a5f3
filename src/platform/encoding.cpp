#include "platform/encoding.h"

#include "platform/sjis.h"

namespace kw39::platform {

std::string Cp932ToUtf8Lossy(std::string_view text) {
    if (auto whole = Cp932ToUtf8(text)) return *whole;
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t len = CharLength(text, i);
        auto piece = Cp932ToUtf8(text.substr(i, len));
        out += piece ? *piece : std::string("?");
        i += len;
    }
    return out;
}

}  // namespace kw39::platform
