#include "export/document_writer.h"

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

// Makes `size` more bytes at the end of `out` and returns where they start.
char* Extend(std::string& out, std::size_t size) {
    const std::size_t at = out.size();
    out.resize(at + size);
    return out.data() + at;
}

char* Put(char* out, std::string_view text) {
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
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
    // Written in two pieces around the value, each with one resize, as the
    // document has millions of these lines.
    const auto indent = static_cast<std::size_t>(4 * level);
    const std::string_view openEnd = value.empty() ? "/>\r\n" : ">";
    char* p = Extend(out, indent + 1 + tag.size() + openEnd.size());
    std::memset(p, ' ', indent);
    p += indent;
    *p++ = '<';
    p = Put(p, tag);
    Put(p, openEnd);
    if (value.empty()) return;
    AppendEscaped(out, value);
    p = Extend(out, 2 + tag.size() + 3);
    p = Put(p, "</");
    p = Put(p, tag);
    Put(p, ">\r\n");
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
