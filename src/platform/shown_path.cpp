// Paths as text to show, and names made for the file system. A path is held
// as the system gives it (POSIX bytes; on Windows UTF-8 made from UTF-16) and
// becomes Shift_JIS only here, where it is shown.
#include <algorithm>
#include <cstdint>

#include "platform/encoding.h"
#include "platform/file_system.h"

namespace kw39::platform {

namespace {

// A Windows name can hold neither "<" nor ">", and "\" is its separator: the
// escape there is "<U+301C>", which no real name can look like. On POSIX it
// is "\u301C", as in C and the shell.
#ifdef _WIN32
constexpr const char* kBytePrefix = "<x";
constexpr const char* kCodePrefix = "<U+";
constexpr const char* kWideCodePrefix = "<U+";
constexpr const char* kEscapeEnd = ">";
constexpr int kWideDigits = 5;
#else
constexpr const char* kBytePrefix = "\\x";
constexpr const char* kCodePrefix = "\\u";
constexpr const char* kWideCodePrefix = "\\U";
constexpr const char* kEscapeEnd = "";
constexpr int kWideDigits = 8;
#endif

void AppendCode(std::string& out, const char* prefix, std::uint32_t value, int digits) {
    constexpr char kHex[] = "0123456789ABCDEF";
    out += prefix;
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out += kHex[(value >> shift) & 0xF];
    out += kEscapeEnd;
}

// The length of the UTF-8 sequence at `i` and its code point; 0 when the
// bytes there are no UTF-8 character.
std::size_t Utf8Sequence(std::string_view text, std::size_t i, std::uint32_t& code) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80   ? 1
                               : lead < 0xC2 ? 0
                               : lead < 0xE0 ? 2
                               : lead < 0xF0 ? 3
                               : lead < 0xF5 ? 4
                                             : 0;
    if (length == 0 || i + length > text.size()) return 0;
    code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) return 0;
        code = (code << 6) | (next & 0x3F);
    }
    const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < least[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

}  // namespace

std::string ShownPath(std::string_view path) {
    std::string shown;
    for (std::size_t i = 0; i < path.size();) {
        std::uint32_t code = 0;
        const std::size_t length = Utf8Sequence(path, i, code);
        if (length == 0) {
            AppendCode(shown, kBytePrefix, static_cast<unsigned char>(path[i]), 2);
            ++i;
            continue;
        }
        const std::string_view character = path.substr(i, length);
        i += length;
        if (code < 0x20 || code == 0x7F) {
            AppendCode(shown, kBytePrefix, code, 2);
            continue;
        }
        // Only a character that comes back from Shift_JIS as itself is shown
        // as itself: "～" and "〜" must not look alike.
        const std::optional<std::string> cp932 = Utf8ToCp932(character);
        if (cp932 && Cp932ToUtf8(*cp932) == character) {
            shown += *cp932;
        } else if (code > 0xFFFF) {
            AppendCode(shown, kWideCodePrefix, code, kWideDigits);
        } else {
            AppendCode(shown, kCodePrefix, code, 4);
        }
    }
    return shown;
}

std::optional<std::string> PathFromArgument(const std::string& utf8) { return utf8; }

std::string NativeName(const std::string& cp932) {
    return Cp932ToUtf8(cp932).value_or(Cp932ToUtf8Lossy(cp932));
}

std::size_t ClassicPathBytes(std::string_view path) {
#ifdef _WIN32
    // The classic limit counts the bytes of the path in the ANSI code page,
    // where a character that it lacks takes one byte.
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < path.size();) {
        std::uint32_t code = 0;
        const std::size_t length = std::max<std::size_t>(Utf8Sequence(path, i, code), 1);
        const auto cp932 = Utf8ToCp932(path.substr(i, length));
        bytes += cp932 ? cp932->size() : 1;
        i += length;
    }
    return bytes;
#else
    return path.size();
#endif
}

}  // namespace kw39::platform
