// Employee basic information: department, name and reading, postal code,
// position, status, residence-tax payee, own disability and widow categories.
#include "convert/code_map.h"
#include "convert/engine.h"
#include "convert/shared_columns.h"
#include "convert/text_rules.h"
#include "platform/sjis.h"

namespace kw39 {

const PcaColumn kSyuurouJoukyou = FindPcaColumn("10601", "就労状況");

namespace {

constexpr CodePair kSyougaisya[] = {{"0", "0"}, {"1", "1"}, {"2", "2"}};

// A payee code filed as an empty code (its name is still looked up).
constexpr std::string_view kNoPayeeCode = "999999";

// The columns read here, resolved once.
const PcaColumn kBumonCode = FindPcaColumn("10601", "部門コード");
const PcaColumn kBumonName = FindPcaColumn("10301", "部門名");
const PcaColumn kSimeiSei = FindPcaColumn("10601", "氏名（姓）");
const PcaColumn kSimeiMei = FindPcaColumn("10601", "氏名（名）");
const PcaColumn kFuriganaSei = FindPcaColumn("10601", "フリガナ（姓）");
const PcaColumn kFuriganaMei = FindPcaColumn("10601", "フリガナ（名）");
const PcaColumn kYuubinBangou = FindPcaColumn("10601", "郵便番号");
const PcaColumn kYakusyokuCode = FindPcaColumn("10601", "役職コード");
const PcaColumn kYakusyokuName = FindPcaColumn("10103", "役職名");
const PcaColumn kSibouTaisyoku = FindPcaColumn("10603", "本人 死亡退職");
const PcaColumn kTeisyutusakiCode = FindPcaColumn("10611", "総括表提出先コード");
const PcaColumn kNoufusakiName = FindPcaColumn("10501", "住民税納付先役所名");
const PcaColumn kHonninSyougaisya = FindPcaColumn("10603", "本人 障害者区分");
const PcaColumn kHonninKafu = FindPcaColumn("10603", "本人 寡婦（夫）等区分");
// The key columns of the masters, for the report's checks.
const PcaColumn kBumonKey = FindPcaColumn("10301", "部門コード");
const PcaColumn kYakusyokuKey = FindPcaColumn("10103", "役職コード");
const PcaColumn kNoufusakiKey = FindPcaColumn("10501", "市区町村コード");
// The labels filed here, found once.
const DocumentLabel kLabelSyozokuCode{"所属コード"};
const DocumentLabel kLabelSyozokuName{"所属名称"};
const DocumentLabel kLabelFurigana{"社員 フリガナ"};
const DocumentLabel kLabelYuubinBangou1{"郵便番号(前)"};
const DocumentLabel kLabelYuubinBangou2{"郵便番号(後)"};
const DocumentLabel kLabelYakusyoku{"役職"};
const DocumentLabel kLabelGenkyou{"現況"};
const DocumentLabel kLabelNoufusakiCode{"納付先(市町村)コード"};
const DocumentLabel kLabelNoufusakiName{"納付先(市町村)名称"};
const DocumentLabel kLabelSyougaisya{"障害者区分"};
const DocumentLabel kLabelKafu{"寡婦(寡夫)"};
const DocumentLabel kLabelTokubetuKafu{"特別寡婦"};

}  // namespace

void CExchangeFromPCAToKw39::ConvertSyozokuCode(const std::string& code) {
    const std::string_view department = Value(kBumonCode, code);
    SetData(code, platform::RemoveSingleByte(department, '-'), kLabelSyozokuCode);
}

void CExchangeFromPCAToKw39::ConvertSyozokuName(const std::string& code) {
    // The department master is keyed by the code as PCA wrote it, hyphens kept.
    const std::string_view department = Value(kBumonCode, code);
    SetData(code, Value(kBumonName, department), kLabelSyozokuName);
    if (m_pObserver) ReportMissingMaster(code, "10301", kBumonKey, department);
}

void CExchangeFromPCAToKw39::ConvertName(const std::string& code) {
    const std::string family = RemoveBlanks(Value(kSimeiSei, code));
    const std::string given = RemoveBlanks(Value(kSimeiMei, code));
    m_store.SetSyainName(code, JoinNameParts(family, given));
}

void CExchangeFromPCAToKw39::ConvertFurigana(const std::string& code) {
    const std::string family = RemoveBlanks(Value(kFuriganaSei, code));
    const std::string given = RemoveBlanks(Value(kFuriganaMei, code));
    SetData(code, JoinNameParts(family, given), kLabelFurigana);
}

void CExchangeFromPCAToKw39::ConvertYuubinBangou(const std::string& code) {
    const std::string_view postal = Value(kYuubinBangou, code);
    SetData(code, GetHyphenPart(postal, 1), kLabelYuubinBangou1);
    SetData(code, GetHyphenPart(postal, 2), kLabelYuubinBangou2);
}

void CExchangeFromPCAToKw39::ConvertYakusyoku(const std::string& code) {
    const std::string_view position = Value(kYakusyokuCode, code);
    SetData(code, BlankUnused(Value(kYakusyokuName, position)), kLabelYakusyoku);
    if (m_pObserver) ReportMissingMaster(code, "10103", kYakusyokuKey, position);
}

void CExchangeFromPCAToKw39::ConvertGenkyou(const std::string& code) {
    // Any other combination keeps the status word of the direct map.
    const std::string_view status = Value(kSyuurouJoukyou, code);
    std::string_view genkyou;
    if (status == "1") {
        genkyou = "1";
    } else if (status == "2") {
        genkyou = "4";
    } else if (status == "3") {
        const std::string_view death = Value(kSibouTaisyoku, code);
        if (death.empty() || death == "0") {
            genkyou = "2";
        } else if (death == "1") {
            genkyou = "3";
        } else if (Observes("現況")) {
            // The field keeps the word the direct map gave the status.
            const SYAINDATA* syain = m_store.FindSyain(code);
            m_pObserver->Found(UnconvertedCode{
                code,
                "10603",
                "本人 死亡退職",
                death,
                {},
                syain ? CExportXMLKw39::LabelValue(*syain, "現況") : std::string_view()});
        }
    }
    if (!genkyou.empty()) SetData(code, genkyou, kLabelGenkyou);
}

void CExchangeFromPCAToKw39::ConvertNoufusakiCode(const std::string& code) {
    const std::string_view payee = Value(kTeisyutusakiCode, code);
    SetData(code, payee == kNoPayeeCode ? std::string_view() : payee, kLabelNoufusakiCode);
}

void CExchangeFromPCAToKw39::ConvertNoufusakiName(const std::string& code) {
    // Looked up with the code as read, "999999" included.
    const std::string_view payee = Value(kTeisyutusakiCode, code);
    SetData(code, BlankUnused(Value(kNoufusakiName, payee)), kLabelNoufusakiName);
    // "999999" stands for no payee: its code is not written, so a missing
    // master name loses nothing.
    if (m_pObserver && payee != kNoPayeeCode) {
        ReportMissingMaster(code, "10501", kNoufusakiKey, payee);
    }
}

void CExchangeFromPCAToKw39::ConvertSyougaisya(const std::string& code) {
    const std::string_view kubun = Value(kHonninSyougaisya, code);
    const std::string_view result = MapCode(kubun, kSyougaisya, "0");
    SetData(code, result, kLabelSyougaisya);
    if (!kubun.empty() && !HasCode(kubun, kSyougaisya) && Observes("障害者区分")) {
        m_pObserver->Found(UnconvertedCode{code, "10603", "本人 障害者区分", kubun, {}, result});
    }
}

void CExchangeFromPCAToKw39::ConvertKafu(const std::string& code) {
    const std::string_view kubun = Value(kHonninKafu, code);
    std::string_view kafu;
    std::string_view tokubetu;
    if (kubun == "0") {
        kafu = "0";
        tokubetu = "0";
    } else if (kubun == "1") {
        kafu = "1";
        tokubetu = "0";
    } else if (kubun == "2") {
        kafu = "0";
        tokubetu = "1";
    } else if (!kubun.empty() && Observes("寡婦(寡夫)")) {
        m_pObserver->Found(UnconvertedCode{code, "10603", "本人 寡婦（夫）等区分", kubun, {}, {}});
    }
    SetData(code, kafu, kLabelKafu);
    SetData(code, tokubetu, kLabelTokubetuKafu);
}

}  // namespace kw39
