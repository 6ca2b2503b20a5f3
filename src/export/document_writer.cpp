#include "export/document_writer.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace kw39 {

namespace {

// What a byte of a value is written as, where it is not itself: the entity of
// an XML special character, and CR LF for a line feed, as every line of the
// document ends. All six are below 0x40, where no trail byte of a double-byte
// CP932 character lies, so a byte-wise scan never splits a character.
constexpr const char* EntityOf(char c) {
    switch (c) {
        case '\n':
            return "\r\n";
        case '&':
            return "&amp;";
        case '<':
            return "&lt;";
        case '>':
            return "&gt;";
        case '"':
            return "&quot;";
        case '\'':
            return "&apos;";
        default:
            return nullptr;
    }
}

constexpr std::array<bool, 256> MakeSpecialBytes() {
    std::array<bool, 256> special{};
    for (int c = 0; c < 256; ++c) special[c] = EntityOf(static_cast<char>(c)) != nullptr;
    return special;
}

constexpr std::array<bool, 256> kSpecialBytes = MakeSpecialBytes();

bool IsSpecial(char c) { return kSpecialBytes[static_cast<unsigned char>(c)]; }

// An element line is made on the stack and appended at once, with its value
// when that is short and needs no escaping, else in two pieces around it: the
// document has millions of these lines, and growing the string first would
// fill with zeros what is written next.
constexpr std::size_t kPieceSize = 256;
constexpr std::string_view kSpaces = "                                ";

// The rare line whose indent or tag does not fit a piece.
void AppendLongElement(std::string& out, std::string_view tag, std::string_view value,
                       std::size_t indent) {
    out.append(indent, ' ');
    out += '<';
    out.append(tag);
    if (value.empty()) {
        out.append("/>\r\n");
        return;
    }
    out += '>';
    AppendEscaped(out, value);
    out.append("</");
    out.append(tag);
    out.append(">\r\n");
}

}  // namespace

void AppendEscaped(std::string& out, std::string_view text) {
    // One pass: each character is replaced at most once, so the result is the
    // same as replacing the ampersand first and the others after it. Most
    // values hold no special character and are copied whole.
    std::size_t plainFrom = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!IsSpecial(text[i])) continue;
        out.append(text.data() + plainFrom, i - plainFrom);
        out.append(EntityOf(text[i]));
        plainFrom = i + 1;
    }
    out.append(text.data() + plainFrom, text.size() - plainFrom);
}

void AppendElement(std::string& out, std::string_view tag, std::string_view value, int level) {
    const auto indent = static_cast<std::size_t>(4 * level);
    char piece[kPieceSize];
    // Room for the indent written whole, the tag twice and "></" and ">\r\n".
    const std::size_t frame = kSpaces.size() + 2 * tag.size() + 8;
    if (indent > kSpaces.size() || frame > sizeof piece) {
        AppendLongElement(out, tag, value, indent);
        return;
    }
    std::memcpy(piece, kSpaces.data(), kSpaces.size());
    char* p = piece + indent;
    *p++ = '<';
    std::memcpy(p, tag.data(), tag.size());
    p += tag.size();
    if (value.empty()) {
        std::memcpy(p, "/>\r\n", 4);
        out.append(piece, static_cast<std::size_t>(p + 4 - piece));
        return;
    }
    *p++ = '>';
    // Most values are short and need no escaping: the whole line is one piece.
    if (value.size() <= sizeof piece - frame &&
        std::none_of(value.begin(), value.end(), IsSpecial)) {
        std::memcpy(p, value.data(), value.size());
        p += value.size();
    } else {
        out.append(piece, static_cast<std::size_t>(p - piece));
        AppendEscaped(out, value);
        p = piece;
    }
    *p++ = '<';
    *p++ = '/';
    std::memcpy(p, tag.data(), tag.size());
    p += tag.size();
    std::memcpy(p, ">\r\n", 3);
    out.append(piece, static_cast<std::size_t>(p + 3 - piece));
}

DocumentWriter::DocumentWriter(DocumentSink& sink, std::size_t capacity)
    : m_sink(sink), m_nCapacity(capacity) {
    // Room for one more line of any ordinary length beyond the threshold.
    m_buffer.reserve(capacity + 4096);
}

void DocumentWriter::Flush() {
    if (m_buffer.empty()) return;
    // The sink may take the buffer and give back other memory.
    m_sink.Take(m_buffer);
    m_buffer.reserve(m_nCapacity + 4096);
}

}  // namespace kw39
