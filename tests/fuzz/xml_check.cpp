#include "xml_check.h"

#include <vector>

#include "platform/encoding.h"

namespace kw39::test {

namespace {

constexpr std::string_view kDeclaration = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n";
constexpr std::string_view kEntities[] = {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"};

bool IsNameStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsNameChar(char c) { return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.'; }
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

class Checker {
  public:
    Checker(std::string_view doc, const XmlCheckOptions& options) : m_doc(doc), m_opt(options) {}

    std::string Run() {
        if (m_doc.substr(0, kDeclaration.size()) != kDeclaration) return Fail("no declaration");
        if (std::string error = CheckLineEnds(); !error.empty()) return error;
        if (m_opt.bNoControlBytes || m_opt.bWholeShiftJis) {
            if (std::string error = CheckText(); !error.empty()) return error;
        }
        m_pos = kDeclaration.size();
        bool rootSeen = false;
        while (m_pos < m_doc.size()) {
            if (m_doc[m_pos] != '<') {
                if (std::string error = CharacterData(); !error.empty()) return error;
                continue;
            }
            if (m_stack.empty() && rootSeen) return Fail("a second root element");
            if (std::string error = Tag(); !error.empty()) return error;
            rootSeen = true;
        }
        if (!rootSeen) return Fail("no root element");
        if (!m_stack.empty()) return Fail("<" + m_stack.back() + "> is never closed");
        return "";
    }

  private:
    std::string Fail(const std::string& what) const {
        return what + " at byte " + std::to_string(m_pos);
    }

    std::string CheckLineEnds() {
        for (m_pos = 0; m_pos < m_doc.size(); ++m_pos) {
            if (m_doc[m_pos] == '\n' && (m_pos == 0 || m_doc[m_pos - 1] != '\r')) {
                return Fail("a line feed without carriage return");
            }
        }
        if (m_doc.size() < 2 || m_doc.substr(m_doc.size() - 2) != "\r\n") {
            return Fail("the last line does not end in CR LF");
        }
        return "";
    }

    // Whole Shift_JIS characters and no control byte XML cannot carry.
    std::string CheckText() {
        for (m_pos = 0; m_pos < m_doc.size(); ++m_pos) {
            const auto c = static_cast<unsigned char>(m_doc[m_pos]);
            if (m_opt.bNoControlBytes && c < 0x20 && c != '\t' && c != '\r' && c != '\n') {
                return Fail("a control byte");
            }
            if (!m_opt.bWholeShiftJis) continue;
            if (c == 0x80 || c == 0xA0 || c >= 0xFD) return Fail("a byte outside Shift_JIS");
            if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) {
                const auto trail =
                    m_pos + 1 < m_doc.size() ? static_cast<unsigned char>(m_doc[m_pos + 1]) : 0;
                if (trail < 0x40 || trail == 0x7F || trail > 0xFC) {
                    return Fail("a broken double-byte character");
                }
                ++m_pos;
            }
        }
        // A pair of bytes in range can still name no character; the system's
        // decoder, strict, says whether every one does.
        if (m_opt.bWholeShiftJis && !platform::Cp932ToUtf8(m_doc)) {
            m_pos = 0;
            return Fail("a double-byte code that is no CP932 character (strict decoding failed)");
        }
        return "";
    }

    // At an "&": one of the five entities.
    std::string Entity() {
        for (const std::string_view entity : kEntities) {
            if (m_doc.substr(m_pos, entity.size()) == entity) {
                m_pos += entity.size();
                return "";
            }
        }
        return Fail("a raw \"&\"");
    }

    std::string CharacterData() {
        const bool outsideRoot = m_stack.empty();
        while (m_pos < m_doc.size() && m_doc[m_pos] != '<') {
            const char c = m_doc[m_pos];
            if (outsideRoot && !IsSpace(c)) return Fail("text outside the root element");
            if (c == '>') return Fail("a raw \">\" in text");
            if (c == '&') {
                if (std::string error = Entity(); !error.empty()) return error;
                continue;
            }
            ++m_pos;
        }
        return "";
    }

    std::string Name(std::string& name) {
        const std::size_t start = m_pos;
        if (m_pos >= m_doc.size() || !IsNameStart(m_doc[m_pos])) return Fail("a bad name");
        while (m_pos < m_doc.size() && IsNameChar(m_doc[m_pos])) ++m_pos;
        name = std::string(m_doc.substr(start, m_pos - start));
        return "";
    }

    void SkipSpace() {
        while (m_pos < m_doc.size() && IsSpace(m_doc[m_pos])) ++m_pos;
    }

    std::string AttributeValue() {
        if (m_pos >= m_doc.size() || m_doc[m_pos] != '"') return Fail("an unquoted attribute");
        ++m_pos;
        while (m_pos < m_doc.size() && m_doc[m_pos] != '"') {
            const char c = m_doc[m_pos];
            if (c == '<' || c == '>') return Fail("a raw \"<\" or \">\" in an attribute");
            if (c == '&') {
                if (std::string error = Entity(); !error.empty()) return error;
                continue;
            }
            ++m_pos;
        }
        if (m_pos >= m_doc.size()) return Fail("an attribute without its closing quote");
        ++m_pos;
        return "";
    }

    std::string Tag() {
        ++m_pos;  // "<"
        const bool closing = m_pos < m_doc.size() && m_doc[m_pos] == '/';
        if (closing) ++m_pos;
        std::string name;
        if (std::string error = Name(name); !error.empty()) return error;
        if (closing) {
            SkipSpace();
            if (m_pos >= m_doc.size() || m_doc[m_pos] != '>') return Fail("a bad end tag");
            ++m_pos;
            if (m_stack.empty() || m_stack.back() != name) {
                return Fail("</" + name + "> does not close the open element");
            }
            m_stack.pop_back();
            return "";
        }
        std::vector<std::string> attributes;
        for (;;) {
            const std::size_t before = m_pos;
            SkipSpace();
            if (m_pos >= m_doc.size()) return Fail("a tag without its end");
            if (m_doc.substr(m_pos, 2) == "/>") {
                m_pos += 2;
                return "";
            }
            if (m_doc[m_pos] == '>') {
                ++m_pos;
                m_stack.push_back(name);
                return "";
            }
            if (m_pos == before) return Fail("no blank before an attribute");
            std::string attribute;
            if (std::string error = Name(attribute); !error.empty()) return error;
            for (const std::string& seen : attributes) {
                if (seen == attribute) return Fail("attribute " + attribute + " twice");
            }
            attributes.push_back(attribute);
            if (m_pos >= m_doc.size() || m_doc[m_pos] != '=') return Fail("an attribute without =");
            ++m_pos;
            if (std::string error = AttributeValue(); !error.empty()) return error;
        }
    }

    std::string_view m_doc;
    XmlCheckOptions m_opt;
    std::size_t m_pos = 0;
    std::vector<std::string> m_stack;
};

}  // namespace

std::string CheckXmlDocument(std::string_view document, const XmlCheckOptions& options) {
    return Checker(document, options).Run();
}

}  // namespace kw39::test
