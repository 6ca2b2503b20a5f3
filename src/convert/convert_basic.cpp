// Employee basic information: department, name and reading, postal code,
// position, status, residence-tax payee, own disability and widow categories.
#include "convert/code_map.h"
#include "convert/engine.h"
#include "convert/text_rules.h"
#include "platform/sjis.h"

namespace kw39 {

namespace {

constexpr CodePair kSyougaisya[] = {{"0", "0"}, {"1", "1"}, {"2", "2"}};

// A payee code filed as an empty code (its name is still looked up).
constexpr std::string_view kNoPayeeCode = "999999";

}  // namespace

void CExchangeFromPCAToKw39::ConvertSyozokuCode(const std::string& code) {
    const std::string_view department = Value("10601", code, "部門コード");
    SetData(code, platform::RemoveSingleByte(department, '-'), "所属コード");
}

void CExchangeFromPCAToKw39::ConvertSyozokuName(const std::string& code) {
    // The department master is keyed by the code as PCA wrote it, hyphens kept.
    const std::string_view department = Value("10601", code, "部門コード");
    SetData(code, Value("10301", department, "部門名"), "所属名称");
}

void CExchangeFromPCAToKw39::ConvertName(const std::string& code) {
    const std::string family = RemoveBlanks(Value("10601", code, "氏名（姓）"));
    const std::string given = RemoveBlanks(Value("10601", code, "氏名（名）"));
    m_store.SetSyainName(code, JoinNameParts(family, given));
}

void CExchangeFromPCAToKw39::ConvertFurigana(const std::string& code) {
    const std::string family = RemoveBlanks(Value("10601", code, "フリガナ（姓）"));
    const std::string given = RemoveBlanks(Value("10601", code, "フリガナ（名）"));
    SetData(code, JoinNameParts(family, given), "社員 フリガナ");
}

void CExchangeFromPCAToKw39::ConvertYuubinBangou(const std::string& code) {
    const std::string_view postal = Value("10601", code, "郵便番号");
    SetData(code, GetHyphenPart(postal, 1), "郵便番号(前)");
    SetData(code, GetHyphenPart(postal, 2), "郵便番号(後)");
}

void CExchangeFromPCAToKw39::ConvertYakusyoku(const std::string& code) {
    const std::string_view position = Value("10601", code, "役職コード");
    SetData(code, BlankUnused(Value("10103", position, "役職名")), "役職");
}

void CExchangeFromPCAToKw39::ConvertGenkyou(const std::string& code) {
    // Any other combination keeps the status word of the direct map.
    const std::string_view status = Value("10601", code, "就労状況");
    std::string_view genkyou;
    if (status == "1") {
        genkyou = "1";
    } else if (status == "2") {
        genkyou = "4";
    } else if (status == "3") {
        const std::string_view death = Value("10603", code, "本人 死亡退職");
        if (death.empty() || death == "0") {
            genkyou = "2";
        } else if (death == "1") {
            genkyou = "3";
        }
    }
    if (!genkyou.empty()) SetData(code, genkyou, "現況");
}

void CExchangeFromPCAToKw39::ConvertNoufusakiCode(const std::string& code) {
    const std::string_view payee = Value("10611", code, "総括表提出先コード");
    SetData(code, payee == kNoPayeeCode ? std::string_view() : payee, "納付先(市町村)コード");
}

void CExchangeFromPCAToKw39::ConvertNoufusakiName(const std::string& code) {
    // Looked up with the code as read, "999999" included.
    const std::string_view payee = Value("10611", code, "総括表提出先コード");
    SetData(code, BlankUnused(Value("10501", payee, "住民税納付先役所名")), "納付先(市町村)名称");
}

void CExchangeFromPCAToKw39::ConvertSyougaisya(const std::string& code) {
    SetData(code, MapCode(Value("10603", code, "本人 障害者区分"), kSyougaisya, "0"), "障害者区分");
}

void CExchangeFromPCAToKw39::ConvertKafu(const std::string& code) {
    const std::string_view kubun = Value("10603", code, "本人 寡婦（夫）等区分");
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
    }
    SetData(code, kafu, "寡婦(寡夫)");
    SetData(code, tokubetu, "特別寡婦");
}

}  // namespace kw39
