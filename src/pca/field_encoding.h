// How RowStore keeps one field: a one-byte head, then the field's bytes.
//
//   0x00 to 0x7F  the length of a short field (0 to 127 bytes); its bytes follow
//   0x80, 0x81    the field is "0" or "0.00" (no bytes follow)
//   0xFF          a long field: its length follows in four bytes, then its bytes
//
// Most fields of a PCA export are short, and the monthly tables, by far the
// largest, consist mostly of amounts "0" and hours "0.00": kept as one byte
// each, they take a third less memory than the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace kw39::field_encoding {

inline constexpr unsigned char kShortLimit = 0x80;  // heads below it are lengths
inline constexpr unsigned char kLongField = 0xFF;
inline constexpr std::size_t kLongHeadSize = 1 + sizeof(std::uint32_t);

// The values kept as a single head byte, kShortLimit + their index.
inline constexpr std::string_view kTokens[] = {"0", "0.00"};

// The head byte of a value that is a token, or 0.
inline unsigned char TokenOf(const char* bytes, std::size_t size) {
    if (size == 1 && bytes[0] == '0') return kShortLimit;
    if (size == 4 && std::memcmp(bytes, "0.00", 4) == 0) return kShortLimit + 1;
    return 0;
}

// Bytes the encoded value takes.
inline std::size_t EncodedSize(std::string_view value) {
    if (TokenOf(value.data(), value.size()) != 0) return 1;
    return (value.size() < kShortLimit ? 1 : kLongHeadSize) + value.size();
}

// Writes the head of a value of `size` bytes that is not a token and returns
// where its bytes go.
inline char* PutHead(char* out, std::size_t size) {
    if (size < kShortLimit) {
        *out = static_cast<char>(size);
        return out + 1;
    }
    *out = static_cast<char>(kLongField);
    const auto length = static_cast<std::uint32_t>(size);
    std::memcpy(out + 1, &length, sizeof length);
    return out + kLongHeadSize;
}

// Writes the encoded value and returns its end.
inline char* Encode(char* out, std::string_view value) {
    if (const unsigned char token = TokenOf(value.data(), value.size())) {
        *out = static_cast<char>(token);
        return out + 1;
    }
    char* const bytes = PutHead(out, value.size());
    if (!value.empty()) std::memcpy(bytes, value.data(), value.size());
    return bytes + value.size();
}

// Reads the value that starts at `p` and moves `p` past it.
inline std::string_view Decode(const char*& p) {
    const auto head = static_cast<unsigned char>(*p++);
    if (head < kShortLimit) {
        const std::string_view value(p, head);
        p += head;
        return value;
    }
    if (head != kLongField) return kTokens[head - kShortLimit];
    std::uint32_t length = 0;
    std::memcpy(&length, p, sizeof length);
    p += sizeof length;
    const std::string_view value(p, length);
    p += length;
    return value;
}

// Moves `p` past the value that starts there.
inline void Skip(const char*& p) {
    const auto head = static_cast<unsigned char>(*p++);
    if (head < kShortLimit) {
        p += head;
    } else if (head == kLongField) {
        std::uint32_t length = 0;
        std::memcpy(&length, p, sizeof length);
        p += sizeof length + length;
    }
}

}  // namespace kw39::field_encoding
