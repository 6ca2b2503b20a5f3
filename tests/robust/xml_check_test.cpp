// The well-formedness check that the fuzz targets rely on must itself catch
// every fault it is there for; and the writer passes it with hostile values.
#include "xml_check.h"

#include <gtest/gtest.h>

#include "export/export_xml.h"
#include "robust_fixtures.h"

namespace kw39::test {
namespace {

const std::string kDecl = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n";

TEST(XmlCheck, FindsEveryKindOfFault) {
    struct Case {
        const char* name;
        std::string document;
        bool strict;
        bool passes;
    };
    const Case cases[] = {
        {"minimal", kDecl + "<R/>\r\n", false, true},
        {"nested with attributes and entities",
         kDecl + "<R>\r\n  <S A=\"x&amp;&quot;\" B=\"\">a&lt;b&gt;c&apos;</S>\r\n</R>\r\n", false,
         true},
        {"shift_jis text", kDecl + "<R>株式会社ｱ</R>\r\n", true, true},
        {"no declaration", "<R/>\r\n", false, false},
        {"bare line feed", kDecl + "<R>\n</R>\r\n", false, false},
        {"no final line end", kDecl + "<R/>", false, false},
        {"unclosed element", kDecl + "<R><S></R>\r\n", false, false},
        {"element never closed", kDecl + "<R>\r\n", false, false},
        {"stray end tag", kDecl + "<R/></R>\r\n", false, false},
        {"two roots", kDecl + "<R/><R/>\r\n", false, false},
        {"text outside the root", kDecl + "x<R/>\r\n", false, false},
        {"raw ampersand", kDecl + "<R>a&b</R>\r\n", false, false},
        {"unknown entity", kDecl + "<R>&nbsp;</R>\r\n", false, false},
        {"raw less-than", kDecl + "<R>a<b</R>\r\n", false, false},
        {"raw greater-than", kDecl + "<R>a>b</R>\r\n", false, false},
        {"unquoted attribute", kDecl + "<R A=x/>\r\n", false, false},
        {"attribute with a raw quote", kDecl + "<R A=\"a\"b\"/>\r\n", false, false},
        {"attribute with a raw less-than", kDecl + "<R A=\"<\"/>\r\n", false, false},
        {"attribute with a raw ampersand", kDecl + "<R A=\"&\"/>\r\n", false, false},
        {"attribute twice", kDecl + "<R A=\"1\" A=\"2\"/>\r\n", false, false},
        {"attributes without blank", kDecl + "<R A=\"1\"B=\"2\"/>\r\n", false, false},
        {"bad name", kDecl + "<1R/>\r\n", false, false},
        {"control byte, loose", kDecl + "<R>\x01</R>\r\n", false, true},
        {"control byte, strict", kDecl + "<R>\x01</R>\r\n", true, false},
        {"cut double-byte character", kDecl + "<R>\x88</R>\r\n", true, false},
        {"undefined byte", kDecl + "<R>\xFF</R>\r\n", true, false},
        {"code that is no character", kDecl + "<R>\x85\x40</R>\r\n", true, false},
        {"user-defined character", kDecl + "<R>\xF0\x40</R>\r\n", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string verdict =
            CheckXmlDocument(c.document, {.bNoControlBytes = c.strict, .bWholeShiftJis = c.strict});
        EXPECT_EQ(verdict.empty(), c.passes) << verdict;
    }
}

// Every value the store can hold is written so that the document stays
// well-formed: the five special characters, quotes in attributes, line ends.
TEST(XmlCheck, TheWriterKeepsHostileValuesInTheirPlace) {
    const std::string hostile[] = {"<",     ">",           "&",        "\"",   "'",
                                   "&amp;", "]]>",         "</SYAIN>", "a\nb", "a\r\nb",
                                   "<!--",  "\"/><X a=\"", " "};
    platform::MessageLog log;
    CExportXMLKw39 store(log);
    int n = 0;
    for (const std::string& value : hostile) {
        const std::string code = value + std::to_string(n++);
        store.SetSyainName(code, value);
        store.SetData(code, value, "所属コード");
        CFuyosya dependant;
        dependant.m_strName = value;
        dependant.m_strZokugara = value;
        store.SetFuyosya(code, dependant);
        CKyuuyoShouyo payment;
        payment.m_nNo = n % 18 + 1;
        payment.m_strSousikyuugaku = value;
        store.SetKyuuyoShouyo(code, payment);
    }
    for (const LinkMode mode : {kModeStandard, kModeSimple}) {
        StringSink sink;
        store.WriteDocumentTo(sink, mode, "1", "<&\">", "26");
        EXPECT_EQ(CheckXmlDocument(sink.text), "");
    }
}

}  // namespace
}  // namespace kw39::test
