#include "export/syain_section.h"

#include <charconv>
#include <span>

#include "export/field_catalogue.h"

namespace kw39 {

namespace {

constexpr int kFieldLevel = 4;

void AppendNumber(std::string& out, int number) {
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, number);
    out.append(digits, result.ptr);
}

// One field line per entry written in `mode`, its value taken from the slot
// base + index; `blankZero` applies BlankIfZero to the value.
void WriteLabelledFields(DocumentWriter& writer, const SYAINDETAIL& detail,
                         std::span<const XMLITEMINFO> items, int slotBase, LinkMode mode,
                         bool blankZero) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (!IsWrittenInMode(items[i], mode)) continue;
        const std::string_view value = detail.aValues[slotBase + i];
        writer.Element(items[i].pszTag, blankZero ? BlankIfZero(value) : value, kFieldLevel);
    }
}

void WriteStartLine(DocumentWriter& writer, const SYAINDATA& syain) {
    std::string& out = writer.Buffer();
    out.append("        <SYAIN CODE=\"");
    AppendEscaped(out, syain.strCode);
    out.append("\" NAME=\"");
    AppendEscaped(out, syain.strName);
    out.append("\">\r\n");
}

void WriteFuyosya(DocumentWriter& writer, const std::vector<CFuyosya>& fuyosya) {
    const auto items = KazokuItems();
    int count = 0;
    for (const CFuyosya& person : fuyosya) {
        std::string& out = writer.Buffer();
        out.append("            <FUYOUSINZOKU COUNT=\"");
        AppendNumber(out, ++count);
        out.append("\">\r\n");
        writer.Element(items[0].pszTag, person.m_strName, kFieldLevel);
        writer.Element(items[1].pszTag, person.m_strZokugara, kFieldLevel);
        writer.Element(items[2].pszTag, person.m_strSeinengappi, kFieldLevel);
        writer.Element(items[3].pszTag, person.m_strFuyoukubun, kFieldLevel);
        writer.Element(items[4].pszTag, person.m_strSyougaisya, kFieldLevel);
        writer.Append("            </FUYOUSINZOKU>\r\n");
    }
}

// Salary groups carry the payment number as KUBUN, bonus groups the number
// minus 13 (`kubunOffset`), so that bonus payments count 1 to 5.
void WritePayments(DocumentWriter& writer, const std::vector<CKyuuyoShouyo>& payments,
                   std::span<const XMLITEMINFO> items, std::string_view group, int kubunOffset) {
    for (const CKyuuyoShouyo& payment : payments) {
        std::string& out = writer.Buffer();
        out.append("            <");
        out.append(group);
        out.append(" KUBUN=\"");
        AppendNumber(out, payment.m_nNo - kubunOffset);
        out.append("\">\r\n");
        writer.Element(items[0].pszTag, payment.m_strSousikyuugaku, kFieldLevel);
        writer.Element(items[1].pszTag, payment.m_strHokenkoujogaku, kFieldLevel);
        writer.Element(items[2].pszTag, payment.m_strFuyousinzokusuu, kFieldLevel);
        writer.Element(items[3].pszTag, payment.m_strSansyutuzeigaku, kFieldLevel);
        writer.Append("            </");
        writer.Append(group);
        writer.Append(">\r\n");
    }
}

}  // namespace

std::string_view BlankIfZero(std::string_view value) {
    return value == "0" ? std::string_view() : value;
}

void WriteSyainSection(DocumentWriter& writer, const SYAINDATA& syain, LinkMode mode) {
    const SYAINDETAIL& detail = *syain.pDetail;
    WriteStartLine(writer, syain);
    writer.Append("          <KIHON_JOUHOU>\r\n");

    writer.Append("            <HONNNIN_JOUHOU>\r\n");
    WriteLabelledFields(writer, detail, HonninItems(), kHonninSlotBase, mode, false);
    writer.Append("            </HONNNIN_JOUHOU>\r\n");

    writer.Append("            <HAIGUUSYA_JOUHOU>\r\n");
    WriteLabelledFields(writer, detail, HaiguusyaItems(), kHaiguusyaSlotBase, mode, false);
    writer.Append("            </HAIGUUSYA_JOUHOU>\r\n");

    // Standard mode lists every dependant; simple mode carries only the eight
    // head counts, which are the simple-mode entries of the same array.
    writer.Append("            <KAZOKU_JOUHOU>\r\n");
    if (mode == kModeStandard) {
        WriteFuyosya(writer, detail.aFuyosya);
    } else {
        WriteLabelledFields(writer, detail, KazokuItems(), kKazokuSlotBase, mode, false);
    }
    writer.Append("            </KAZOKU_JOUHOU>\r\n");

    writer.Append("            <KOUJOGAKU_JOUHOU>\r\n");
    WriteLabelledFields(writer, detail, KoujogakuItems(), kKoujogakuSlotBase, mode, true);
    writer.Append("            </KOUJOGAKU_JOUHOU>\r\n");
    writer.Append("          </KIHON_JOUHOU>\r\n");

    writer.Append("          <KYUUYOSYOUYO_JOUHOU>\r\n");
    WritePayments(writer, detail.aKyuuyo, KyuuyoItems(), "KYUUYO", 0);
    WritePayments(writer, detail.aShouyo, ShouyoItems(), "SYOUYO", 13);
    writer.Append("            <GOUKEI>\r\n");
    WriteLabelledFields(writer, detail, GoukeiItems(), kGoukeiSlotBase, mode, true);
    writer.Append("            </GOUKEI>\r\n");
    writer.Append("          </KYUUYOSYOUYO_JOUHOU>\r\n");
    writer.Append("        </SYAIN>\r\n");
    writer.LineDone();
}

}  // namespace kw39
