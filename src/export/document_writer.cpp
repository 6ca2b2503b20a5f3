#include "export/document_writer.h"

#include <array>
#include <cstring>

namespace kw39 {

namespace {

// Entity of an XML special character, or nullptr. The five characters are all
// below 0x40, where no trail byte of a double-byte CP932 character lies, so a
// byte-wise scan never splits a character.
constexpr const char* EntityOf(char c) {
    switch (c) {
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
    const std::string_view openEnd = value.empty() ? "/>\n" : ">";
    char* p = Extend(out, indent + 1 + tag.size() + openEnd.size());
    std::memset(p, ' ', indent);
    p += indent;
    *p++ = '<';
    p = Put(p, tag);
    Put(p, openEnd);
    if (value.empty()) return;
    AppendEscaped(out, value);
    p = Extend(out, 2 + tag.size() + 2);
    p = Put(p, "</");
    p = Put(p, tag);
    Put(p, ">\n");
}

DocumentWriter::DocumentWriter(DocumentSink& sink, std::size_t capacity)
    : m_sink(sink), m_nCapacity(capacity) {
    // Room for one more line of any ordinary length beyond the threshold.
    m_buffer.reserve(capacity + 4096);
}

void DocumentWriter::Flush() {
    if (m_buffer.empty()) return;
    // Every line feed becomes CR LF, also one inside a value, exactly as the
    // text-mode file of a Windows program would write it. The result is at
    // most twice as long; it is written in place, line by line.
    if (m_translated.size() < 2 * m_buffer.size()) m_translated.resize(2 * m_buffer.size());
    char* out = m_translated.data();
    const char* pos = m_buffer.data();
    const char* const end = pos + m_buffer.size();
    while (pos < end) {
        const void* found = std::memchr(pos, '\n', static_cast<std::size_t>(end - pos));
        const char* const lineEnd = found ? static_cast<const char*>(found) : end;
        const auto length = static_cast<std::size_t>(lineEnd - pos);
        std::memcpy(out, pos, length);
        out += length;
        if (!found) break;
        *out++ = '\r';
        *out++ = '\n';
        pos = lineEnd + 1;
    }
    m_buffer.clear();
    m_sink.Write(m_translated.data(), static_cast<std::size_t>(out - m_translated.data()));
}

}  // namespace kw39
