#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "export/document_writer.h"
#include "export/export_xml.h"
#include "export/syain_section.h"
#include "support/test_support.h"

namespace kw39 {
namespace {

// The text with every "\n" written as "\r\n", as the document is.
std::string Crlf(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

std::string Document(const CExportXMLKw39& store, LinkMode mode,
                     const std::string& company = "テスト商事", const std::string& year = "26") {
    StringSink sink;
    store.WriteDocumentTo(sink, mode, "1", company, year);
    return sink.text;
}

CFuyosya Dependant(std::string name, std::string zokugara, std::string seinengappi,
                   std::string fuyoukubun, std::string syougaisya) {
    CFuyosya fuyosya;
    fuyosya.m_strName = std::move(name);
    fuyosya.m_strZokugara = std::move(zokugara);
    fuyosya.m_strSeinengappi = std::move(seinengappi);
    fuyosya.m_strFuyoukubun = std::move(fuyoukubun);
    fuyosya.m_strSyougaisya = std::move(syougaisya);
    return fuyosya;
}

CKyuuyoShouyo Payment(int no, std::string total = "", std::string insurance = "",
                      std::string dependants = "", std::string tax = "") {
    CKyuuyoShouyo payment;
    payment.m_nNo = no;
    payment.m_strSousikyuugaku = std::move(total);
    payment.m_strHokenkoujogaku = std::move(insurance);
    payment.m_strFuyousinzokusuu = std::move(dependants);
    payment.m_strSansyutuzeigaku = std::move(tax);
    return payment;
}

std::size_t CountLines(const std::string& document) {
    return static_cast<std::size_t>(std::count(document.begin(), document.end(), '\n'));
}

// The frame lines before and after the employee sections, for the arguments
// Document() uses.
std::string Head(const char* mode) {
    return std::string(R"(<?xml version="1.0" encoding="Shift_JIS"?>
<REPORT>
    <SYSTEM>
        <GYOUMUPREFIX>Kw39</GYOUMUPREFIX>
        <VERSION>1</VERSION>
        <FUNCTIONID>1</FUNCTIONID>
        <CONNECTEDPROGRAMVER>1, 0, 0, 0</CONNECTEDPROGRAMVER>
        <PROGRAMNAME>PCA給与X</PROGRAMNAME>
        <PROGRAMVER>2014, 9, 12, 0</PROGRAMVER>
    </SYSTEM>
    <BASIC>
        <KOMONSAKINAME>テスト商事</KOMONSAKINAME>
        <SINKOKUNENDO>26</SINKOKUNENDO>
        <MODE>)") +
           mode + R"(</MODE>
    </BASIC>
    <DATA>
)";
}
constexpr const char* kTail = "    </DATA>\n</REPORT>\n";

TEST(ExportDocument, EmptyStoreGivesTheEighteenLineFrame) {
    platform::MessageLog log;
    const CExportXMLKw39 store(log);
    const std::string document = Document(store, kModeStandard);
    EXPECT_EQ(document, Crlf(Head("NORMAL") + kTail));
    EXPECT_EQ(CountLines(document), 18u);
    EXPECT_EQ(Document(store, kModeSimple), Crlf(Head("EASY") + kTail));
    // No byte-order mark, and no line feed without its carriage return.
    EXPECT_EQ(document.substr(0, 5), "<?xml");
    for (std::size_t i = 0; i < document.size(); ++i) {
        if (document[i] == '\n') {
            ASSERT_EQ(document[i - 1], '\r') << "at " << i;
        }
    }
    EXPECT_EQ(document.substr(document.size() - 11), "</REPORT>\r\n");
}

TEST(ExportDocument, FrameValuesAreEscapedAndEmptyOnesSelfClosed) {
    platform::MessageLog log;
    const CExportXMLKw39 store(log);
    const std::string document = Document(store, kModeStandard, "A&B<社>", "");
    EXPECT_NE(document.find("\r\n        <KOMONSAKINAME>A&amp;B&lt;社&gt;</KOMONSAKINAME>\r\n"),
              std::string::npos);
    EXPECT_NE(document.find("\r\n        <SINKOKUNENDO/>\r\n"), std::string::npos);
    EXPECT_NE(Document(store, kModeStandard, "", "26").find("\r\n        <KOMONSAKINAME/>\r\n"),
              std::string::npos);
}

// Every element line of the document comes from the writer's Element.
const std::string kLongTag(100, 'T');
const std::string kLongerTag(120, 'L');

TEST(ExportDocument, ElementsEscapeOnceAndKeepBlanks) {
    struct Case {
        const char* tag;
        std::string value;
        int level;
        std::string expected;
    };
    const Case cases[] = {
        {"MODE", "NORMAL", 2, "        <MODE>NORMAL</MODE>\n"},
        {"SYOZOKU_CODE", "", 4, "                <SYOZOKU_CODE/>\n"},
        {"NAME", " ", 4, "                <NAME> </NAME>\n"},
        {"NAME", "A&B", 1, "    <NAME>A&amp;B</NAME>\n"},
        {"NAME", "&<>\"'", 0, "<NAME>&amp;&lt;&gt;&quot;&apos;</NAME>\n"},
        {"NAME", "&amp;", 0, "<NAME>&amp;amp;</NAME>\n"},
        {"NAME", "&&", 0, "<NAME>&amp;&amp;</NAME>\n"},
        {"NAME", "<tag attr=\"v\">'x'</tag>", 0,
         "<NAME>&lt;tag attr=&quot;v&quot;&gt;&apos;x&apos;&lt;/tag&gt;</NAME>\n"},
        // Trail bytes 0x5C and 0x7C (ソ, 表, |-like bytes) stay untouched.
        {"NAME", "ソ表能 山田", 0, "<NAME>ソ表能 山田</NAME>\n"},
        {"NAME", " 0 ", 0, "<NAME> 0 </NAME>\n"},
        // Deeper than any line of the document, or a tag longer than any.
        {"N", "1", 9, std::string(36, ' ') + "<N>1</N>\n"},
        {"N", "", 9, std::string(36, ' ') + "<N/>\n"},
        {kLongTag.c_str(), "a<b", 1, "    <" + kLongTag + ">a&lt;b</" + kLongTag + ">\n"},
        {kLongTag.c_str(), "", 8, std::string(32, ' ') + "<" + kLongTag + "/>\n"},
        {kLongerTag.c_str(), "a", 0, "<" + kLongerTag + ">a</" + kLongerTag + ">\n"},
        {"N", std::string(250, 'v'), 1, "    <N>" + std::string(250, 'v') + "</N>\n"},
    };
    for (const Case& c : cases) {
        StringSink sink;
        DocumentWriter writer(sink);
        writer.Element(c.tag, c.value, c.level);
        writer.Flush();
        EXPECT_EQ(sink.text, Crlf(c.expected)) << c.value;
    }
}

TEST(ExportDocument, VersionStringsComeFromThePlatform) {
    EXPECT_EQ(CExportXMLKw39::GetProductVersion(), "1, 0, 0, 0");
    EXPECT_EQ(CExportXMLKw39::GetFileVersion(), "2014, 9, 12, 0");
}

TEST(ExportDocument, WriterTranslatesEveryLineFeedAndFlushesInPieces) {
    struct CountingSink : StringSink {
        void Write(const char* data, std::size_t size) override {
            ++writes;
            StringSink::Write(data, size);
        }
        int writes = 0;
    };
    CountingSink sink;
    {
        DocumentWriter writer(sink, 32);
        for (int i = 0; i < 10; ++i) writer.Element("TAG", "value", 1);
        writer.Element("TAG", "two\nlines", 0);
        writer.Flush();
    }
    std::string expected;
    for (int i = 0; i < 10; ++i) expected += "    <TAG>value</TAG>\r\n";
    expected += "<TAG>two\r\nlines</TAG>\r\n";
    EXPECT_EQ(sink.text, expected);
    EXPECT_GT(sink.writes, 1);
    EXPECT_LT(sink.writes, 11);
}

// One employee with a value in some fields of every group, two dependants and
// payments in both lists.
void FillSample(CExportXMLKw39& store) {
    store.SetSyainName("0001", "山田太郎");
    store.SetData("0001", "010", "所属コード");
    store.SetData("0001", "ﾔﾏﾀﾞﾀﾛｳ", "社員 フリガナ");
    store.SetData("0001", "0", "性別");
    store.SetData("0001", "東京都千代田区1-2-3", "住所(上段)");
    store.SetData("0001", "0", "前職 徴収税額");
    store.SetData("0001", "1", "配偶者の有無");
    store.SetData("0001", "山田花子", "配偶者の氏名");
    store.SetData("0001", "1", "控除対象配偶者");
    store.SetData("0001", "380000", "配偶者特別控除額");
    store.SetData("0001", "0", "障害者区分(配偶者)");
    store.SetData("0001", "2", "年少扶養人数");
    store.SetData("0001", "0", "一般扶養人数");
    store.SetData("0001", "0", "社保等給与等控除分(控除額)");
    store.SetData("0001", "00", "社保等申告社保控除分(支払)");
    store.SetData("0001", "123", "特別減税");
    store.SetData("0001", "3000000", "給与・手当等(金額)");
    store.SetData("0001", "0", "計(税額)");
    store.SetFuyosya("0001", Dependant("山田一郎", "長男", "20100401", "1", "0"));
    store.SetFuyosya("0001", Dependant("A&B", "", "", "", ""));
    store.SetKyuuyoShouyo("0001", Payment(1, "250000", "0", "2", "0"));
    store.SetKyuuyoShouyo("0001", Payment(13, "", "", "", ""));
    store.SetKyuuyoShouyo("0001", Payment(14, "500000", "70000", "2", "15000"));
    store.SetKyuuyoShouyo("0001", Payment(18, "", "", "", ""));
}

constexpr const char* kSampleHonnin = R"(        <SYAIN CODE="0001" NAME="山田太郎">
          <KIHON_JOUHOU>
            <HONNNIN_JOUHOU>
                <SYOZOKU_CODE>010</SYOZOKU_CODE>
                <SYOZOKU_NAME/>
                <FURIGANA>ﾔﾏﾀﾞﾀﾛｳ</FURIGANA>
                <SEINENGAPPI/>
                <SEIBETU>0</SEIBETU>
                <YUUBINBANGOU_1/>
                <YUUBINBANGOU_2/>
                <JUUSYO_1>東京都千代田区1-2-3</JUUSYO_1>
                <JUUSYO_2/>
                <SETAINUSI/>
                <ZOKUGARA/>
                <YAKUSYOKU/>
                <HOUJINYAKUIN/>
                <GENKYOU/>
                <NYUUSYANENGAPPI/>
                <TAISYOKUNENGAPPI/>
                <NOUFUSAKI_CODE/>
                <NOUFUSAKI_NAME/>
                <NENTYOU/>
                <KOUOTU/>
                <FUYOUKOUJOSINKOKU/>
                <CHOUSYUUHOUHOU/>
                <JOUYAKUMENJO/>
                <AOIROSENJUUSYA/>
                <SYOUGAISYA/>
                <KAFU/>
                <TOKUBETUKAFU/>
                <KINROUGAKUSEI/>
                <SAIGAISYA/>
                <GAIKOKUJIN/>
                <ZENSYOKU_KINMUSAKI/>
                <ZENSYOKU_KINMUSAKIJUUSYO/>
                <ZENSYOKU_TAISYOKUNENGAPPI/>
                <ZENSYOKU_SOUSIKYUUGAKU/>
                <ZENSYOKU_HOKENKOUJOGAKU/>
                <ZENSYOKU_SANSYUTUZEIGAKU>0</ZENSYOKU_SANSYUTUZEIGAKU>
            </HONNNIN_JOUHOU>
)";

constexpr const char* kSampleStandardFamily = R"(            <HAIGUUSYA_JOUHOU>
                <HAIGUUSYAUMU>1</HAIGUUSYAUMU>
                <FURIGANA/>
                <NAME>山田花子</NAME>
                <SEINENGAPPI/>
                <HAIGUUSYASYOTOKU/>
                <SYOUGAISYA>0</SYOUGAISYA>
            </HAIGUUSYA_JOUHOU>
            <KAZOKU_JOUHOU>
            <FUYOUSINZOKU COUNT="1">
                <NAME>山田一郎</NAME>
                <ZOKUGARA>長男</ZOKUGARA>
                <SEINENGAPPI>20100401</SEINENGAPPI>
                <FUYOUKUBUN>1</FUYOUKUBUN>
                <SYOUGAISYA>0</SYOUGAISYA>
            </FUYOUSINZOKU>
            <FUYOUSINZOKU COUNT="2">
                <NAME>A&amp;B</NAME>
                <ZOKUGARA/>
                <SEINENGAPPI/>
                <FUYOUKUBUN/>
                <SYOUGAISYA/>
            </FUYOUSINZOKU>
            </KAZOKU_JOUHOU>
)";

constexpr const char* kSampleSimpleFamily = R"(            <HAIGUUSYA_JOUHOU>
                <HAIGUUSYAUMU>1</HAIGUUSYAUMU>
                <KOUJOTAISYOUHAIGUUSYA>1</KOUJOTAISYOUHAIGUUSYA>
                <HAIGUUSYASYOTOKU/>
                <SYOUGAISYA>0</SYOUGAISYA>
                <HAIGUUSYATOKUBETUKOUJOGAKU>380000</HAIGUUSYATOKUBETUKOUJOGAKU>
            </HAIGUUSYA_JOUHOU>
            <KAZOKU_JOUHOU>
                <NENSYOUFUYOU>2</NENSYOUFUYOU>
                <IPPANFUYOU>0</IPPANFUYOU>
                <TOKUTEIFUYOU/>
                <ROUJINFUYOU_DOUKYOROUSIN/>
                <ROUJINFUYOU_SONOTA/>
                <SYOUGAISYA_IPPAN/>
                <SYOUGAISYA_TOKUBETU/>
                <SYOUGAISYA_DOUKYOTOKUBETU/>
            </KAZOKU_JOUHOU>
)";

constexpr const char* kSampleRest = R"(            <KOUJOGAKU_JOUHOU>
                <SYAHOKOUJO_KYUUYO/>
                <SYAHO_KOUJOBUN>00</SYAHO_KOUJOBUN>
                <KOKUMINNNENKINHOKENRYOU/>
                <SYAHO_SYOUKIBOKYOUSAI/>
                <SEIHO_IPPAN_H24IKOU/>
                <SEIHO_IPPAN/>
                <SEIHO_KAIGO/>
                <SEIHO_KOJIN_H24IKOU/>
                <SEIHO_KOJIN/>
                <JISINHOKEN/>
                <SONPO_TYOUKI/>
                <JUUTAKU_TOKUBETUKOUJO/>
                <JUUTAKU_KYOJUUNENGAPPI_1/>
                <JUUTAKU_KARIIREGAKU_1/>
                <JUUTAKU_KOUJOKUBUN_1/>
                <JUUTAKU_KYOJUUNENGAPPI_2/>
                <JUUTAKU_KARIIREGAKU_2/>
                <JUUTAKU_KOUJOKUBUN_2/>
                <TOKUBETUGENZEI>123</TOKUBETUGENZEI>
            </KOUJOGAKU_JOUHOU>
          </KIHON_JOUHOU>
          <KYUUYOSYOUYO_JOUHOU>
            <KYUUYO KUBUN="1">
                <SOUSIKYUUGAKU>250000</SOUSIKYUUGAKU>
                <HOKENKOUJOGAKU>0</HOKENKOUJOGAKU>
                <FUYOUSINZOKUSUU>2</FUYOUSINZOKUSUU>
                <SANSYUTUZEIGAKU>0</SANSYUTUZEIGAKU>
            </KYUUYO>
            <KYUUYO KUBUN="13">
                <SOUSIKYUUGAKU/>
                <HOKENKOUJOGAKU/>
                <FUYOUSINZOKUSUU/>
                <SANSYUTUZEIGAKU/>
            </KYUUYO>
            <SYOUYO KUBUN="1">
                <SOUSIKYUUGAKU>500000</SOUSIKYUUGAKU>
                <HOKENKOUJOGAKU>70000</HOKENKOUJOGAKU>
                <FUYOUSINZOKUSUU>2</FUYOUSINZOKUSUU>
                <SANSYUTUZEIGAKU>15000</SANSYUTUZEIGAKU>
            </SYOUYO>
            <SYOUYO KUBUN="5">
                <SOUSIKYUUGAKU/>
                <HOKENKOUJOGAKU/>
                <FUYOUSINZOKUSUU/>
                <SANSYUTUZEIGAKU/>
            </SYOUYO>
            <GOUKEI>
                <KYUUYO_SOUSIKYUUGAKU_GOUKEI>3000000</KYUUYO_SOUSIKYUUGAKU_GOUKEI>
                <KYUUYO_SANSYUTUZEIGAKU_GOUKEI/>
                <SYOUYO_SOUSIKYUUGAKU_GOUKEI/>
                <SYOUYO_SANSYUTUZEIGAKU_GOUKEI/>
                <SOUSIKYUUGAKU_GOUKEI/>
                <SANSYUTUZEIGAKU_GOUKEI/>
            </GOUKEI>
          </KYUUYOSYOUYO_JOUHOU>
        </SYAIN>
)";

TEST(ExportDocument, WholeSectionInStandardMode) {
    platform::MessageLog log;
    CExportXMLKw39 store(log);
    FillSample(store);
    const std::string expected =
        Head("NORMAL") + kSampleHonnin + kSampleStandardFamily + kSampleRest + kTail;
    EXPECT_EQ(Document(store, kModeStandard), Crlf(expected));
}

TEST(ExportDocument, WholeSectionInSimpleMode) {
    platform::MessageLog log;
    CExportXMLKw39 store(log);
    FillSample(store);
    const std::string expected =
        Head("EASY") + kSampleHonnin + kSampleSimpleFamily + kSampleRest + kTail;
    EXPECT_EQ(Document(store, kModeSimple), Crlf(expected));
}

TEST(ExportDocument, SectionLineCountsFollowTheRecords) {
    struct Case {
        LinkMode mode;
        int dependants;
        int salaries;
        int bonuses;
        std::size_t sectionLines;
    };
    const Case cases[] = {
        {kModeStandard, 0, 0, 0, 83},   {kModeStandard, 3, 0, 0, 104},
        {kModeStandard, 2, 13, 5, 205}, {kModeStandard, 0, 13, 5, 191},
        {kModeSimple, 0, 0, 0, 90},     {kModeSimple, 3, 0, 0, 90},
        {kModeSimple, 20, 13, 5, 198},  {kModeSimple, 0, 2, 1, 108},
    };
    for (const Case& c : cases) {
        platform::MessageLog log;
        CExportXMLKw39 store(log);
        store.SetSyainName("1", "name");
        for (int i = 0; i < c.dependants; ++i) store.SetFuyosya("1", Dependant("", "", "", "", ""));
        for (int i = 1; i <= c.salaries; ++i) store.SetKyuuyoShouyo("1", Payment(i));
        for (int i = 14; i < 14 + c.bonuses; ++i) {
            store.SetKyuuyoShouyo("1", Payment(i));
        }
        EXPECT_EQ(CountLines(Document(store, c.mode)), 18 + c.sectionLines)
            << "mode " << c.mode << ", dependants " << c.dependants;
    }
}

// Counts lines of the document that contain `text`.
std::size_t CountContaining(const std::string& document, std::string_view text) {
    std::size_t count = 0;
    for (std::size_t pos = document.find(text); pos != std::string::npos;
         pos = document.find(text, pos + text.size())) {
        ++count;
    }
    return count;
}

TEST(ExportDocument, ZeroIsBlankedOnlyInDeductionsAndTotals) {
    struct Case {
        LinkMode mode;
        std::size_t zeroValues;  // own data, spouse, counts, dependant and payment fields
    };
    // Standard: 36 own + 6 spouse + 5 dependant + 8 payment fields.
    // Simple: 36 own + 5 spouse + 8 counts + 8 payment fields.
    for (const Case c : {Case{kModeStandard, 55}, Case{kModeSimple, 57}}) {
        platform::MessageLog log;
        CExportXMLKw39 store(log);
        for (auto items :
             {HonninItems(), HaiguusyaItems(), KazokuItems(), KoujogakuItems(), GoukeiItems()}) {
            for (const XMLITEMINFO& item : items) store.SetData("1", "0", item.pszLabel);
        }
        store.SetFuyosya("1", Dependant("0", "0", "0", "0", "0"));
        store.SetKyuuyoShouyo("1", Payment(1, "0", "0", "0", "0"));
        store.SetKyuuyoShouyo("1", Payment(14, "0", "0", "0", "0"));
        const std::string document = Document(store, c.mode);
        SCOPED_TRACE(c.mode);
        EXPECT_EQ(CountContaining(document, ">0</"), c.zeroValues);
        // Only the 19 deductions and 6 totals are self-closed.
        EXPECT_EQ(CountContaining(document, "/>\r\n"), 25u);
        EXPECT_EQ(CountContaining(document, "\r\n                <SYAHOKOUJO_KYUUYO/>\r\n"), 1u);
        EXPECT_EQ(CountContaining(document, "\r\n                <SANSYUTUZEIGAKU_GOUKEI/>\r\n"),
                  1u);
        EXPECT_EQ(CountContaining(document, "<SANSYUTUZEIGAKU>0</SANSYUTUZEIGAKU>"), 2u);
    }
    EXPECT_EQ(BlankIfZero("0"), "");
    EXPECT_EQ(BlankIfZero("00"), "00");
    EXPECT_EQ(BlankIfZero(" 0"), " 0");
    EXPECT_EQ(BlankIfZero(""), "");
    EXPECT_EQ(BlankIfZero("10"), "10");
}

TEST(ExportDocument, StartLineAttributesAreEscaped) {
    platform::MessageLog log;
    CExportXMLKw39 store(log);
    store.SetSyainName("A&\"<1>", "O'Neil & \"社長\"");
    store.SetSyainName("2", "");
    const std::string document = Document(store, kModeStandard);
    EXPECT_NE(document.find("\r\n        <SYAIN CODE=\"A&amp;&quot;&lt;1&gt;\" "
                            "NAME=\"O&apos;Neil &amp; &quot;社長&quot;\">\r\n"),
              std::string::npos);
    EXPECT_NE(document.find("\r\n        <SYAIN CODE=\"2\" NAME=\"\">\r\n"), std::string::npos);
}

TEST(ExportDocument, PaymentGroupsKeepFilingOrderAndNumberBonusFromOne) {
    platform::MessageLog log;
    CExportXMLKw39 store(log);
    for (int no : {18, 13, 14, 2, 15, 2}) store.SetKyuuyoShouyo("1", Payment(no));
    const std::string document = Document(store, kModeSimple);
    std::string groups;
    for (std::size_t pos = document.find("            <", 0); pos != std::string::npos;
         pos = document.find("            <", pos + 1)) {
        const std::size_t end = document.find('\r', pos);
        const std::string line = document.substr(pos + 12, end - pos - 12);
        if (line.starts_with("<KYUUYO ") || line.starts_with("<SYOUYO ")) groups += line;
    }
    EXPECT_EQ(groups,
              "<KYUUYO KUBUN=\"13\"><KYUUYO KUBUN=\"2\"><KYUUYO KUBUN=\"2\">"
              "<SYOUYO KUBUN=\"5\"><SYOUYO KUBUN=\"1\"><SYOUYO KUBUN=\"2\">");
}

TEST(ExportDocument, SectionsFollowCreationOrder) {
    platform::MessageLog log;
    CExportXMLKw39 store(log);
    store.SetData("B", "x", "所属コード");
    store.SetSyainName("A", "a");
    store.SetData("C", "x", "給与・総支給金額");  // not accepted: no section
    store.SetSyainName("B", "b");
    const std::string document = Document(store, kModeStandard);
    const std::size_t b = document.find("<SYAIN CODE=\"B\" NAME=\"b\">");
    const std::size_t a = document.find("<SYAIN CODE=\"A\" NAME=\"a\">");
    ASSERT_NE(b, std::string::npos);
    ASSERT_NE(a, std::string::npos);
    EXPECT_LT(b, a);
    EXPECT_EQ(CountContaining(document, "<SYAIN "), 2u);
}

TEST(ExportDocument, LargeDocumentStreamsInPiecesWithCrLf) {
    struct CountingSink : StringSink {
        void Write(const char* data, std::size_t size) override {
            ++writes;
            StringSink::Write(data, size);
        }
        int writes = 0;
    };
    platform::MessageLog log;
    CExportXMLKw39 store(log);
    constexpr int kEmployees = 600;
    for (int e = 0; e < kEmployees; ++e) {
        const std::string code = std::to_string(100000 + e);
        store.SetSyainName(code, "社員" + code);
        store.SetData(code, "東京都千代田区&" + code, "住所(上段)");
        store.SetFuyosya(code, Dependant("扶養" + code, "子", "20100101", "1", "0"));
        for (int no = 1; no <= 18; ++no) {
            store.SetKyuuyoShouyo(code, Payment(no, "250000", "0", "1", "3000"));
        }
    }
    CountingSink sink;
    store.WriteDocumentTo(sink, kModeStandard, "3", "会社", "26");
    const std::string& document = sink.text;
    ASSERT_GT(document.size(), 3 * DocumentWriter::kDefaultCapacity);
    EXPECT_EQ(CountLines(document), 18u + kEmployees * (191u + 7u));
    EXPECT_EQ(CountContaining(document, "\r\n"), CountLines(document));
    EXPECT_EQ(CountContaining(document, "&amp;"), static_cast<std::size_t>(kEmployees));
    EXPECT_LE(sink.writes,
              static_cast<int>(document.size() / DocumentWriter::kDefaultCapacity) + 2);
    EXPECT_EQ(document.substr(document.size() - 24), "    </DATA>\r\n</REPORT>\r\n");
}

}  // namespace
}  // namespace kw39
