#include "export/document_writer.h"

#include <cstring>

namespace kw39 {

namespace {

// Entity of an XML special character, or nullptr. The five characters are all
// below 0x40, where no trail byte of a double-byte CP932 character lies, so a
// byte-wise scan never splits a character.
const char* EntityOf(char c) {
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

}  // namespace

void AppendEscaped(std::string& out, std::string_view text) {
    // One pass: each character is replaced at most once, so the result is the
    // same as replacing the ampersand first and the others after it.
    std::size_t plainFrom = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char* entity = EntityOf(text[i]);
        if (!entity) continue;
        out.append(text.data() + plainFrom, i - plainFrom);
        out.append(entity);
        plainFrom = i + 1;
    }
    out.append(text.data() + plainFrom, text.size() - plainFrom);
}

void AppendElement(std::string& out, std::string_view tag, std::string_view value, int level) {
    out.append(static_cast<std::size_t>(4 * level), ' ');
    out += '<';
    out.append(tag);
    if (value.empty()) {
        out.append("/>\n");
        return;
    }
    out += '>';
    AppendEscaped(out, value);
    out.append("</");
    out.append(tag);
    out.append(">\n");
}

DocumentWriter::DocumentWriter(DocumentSink& sink, std::size_t capacity)
    : m_sink(sink), m_nCapacity(capacity) {
    // Room for one more line of any ordinary length beyond the threshold.
    m_buffer.reserve(capacity + 4096);
}

void DocumentWriter::Flush() {
    if (m_buffer.empty()) return;
    // Every line feed becomes CR LF, also one inside a value, exactly as the
    // text-mode file of a Windows program would write it.
    m_translated.clear();
    const char* pos = m_buffer.data();
    const char* const end = pos + m_buffer.size();
    while (pos < end) {
        const void* found = std::memchr(pos, '\n', static_cast<std::size_t>(end - pos));
        const char* lineEnd = found ? static_cast<const char*>(found) : end;
        m_translated.append(pos, lineEnd);
        if (!found) break;
        m_translated.append("\r\n");
        pos = lineEnd + 1;
    }
    m_buffer.clear();
    m_sink.Write(m_translated.data(), m_translated.size());
}

}  // namespace kw39
