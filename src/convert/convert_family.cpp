// Spouse and dependants: the spouse's name, birth date and disability, the
// dependant records and the eight dependant head counts.
#include <algorithm>
#include <utility>

#include "convert/code_map.h"
#include "convert/engine.h"
#include "convert/text_rules.h"

namespace kw39 {

namespace {

// The dependant number of the spouse in table 10616.
constexpr std::string_view kSpouseNumber = "0";

// The columns read here, resolved once.
const PcaColumn kFuyosyaBangou = FindPcaColumn("10616", "扶養親族番号");
const PcaColumn kFuyosyaSei = FindPcaColumn("10616", "扶養親族氏名（姓）");
const PcaColumn kFuyosyaMei = FindPcaColumn("10616", "扶養親族氏名（名）");
const PcaColumn kFuyosyaSeinengappi = FindPcaColumn("10616", "生年月日");
const PcaColumn kHaiguusyaSyougaisyaKubun = FindPcaColumn("10603", "配偶者 障害者区分");
const PcaColumn kFuyosyaZokugara = FindPcaColumn("10616", "続柄");
const PcaColumn kFuyosyaKubun = FindPcaColumn("10616", "扶養区分");
const PcaColumn kFuyosyaSyougaisyaKubun = FindPcaColumn("10616", "障害者区分");

constexpr CodePair kHaiguusyaSyougaisya[] = {{"0", "0"}, {"1", "1"}, {"2", "2"}, {"3", "3"}};
constexpr CodePair kFuyoukubun[] = {{"1", "1"}, {"2", "2"}, {"3", "3"}, {"4", "4"}, {"5", "0"}};
// "0" (none) is a code of its own, so that only other values are findings.
constexpr CodePair kFuyosyaSyougaisya[] = {{"0", "0"}, {"1", "1"}, {"2", "2"}, {"3", "3"}};
// The labels filed here, found once.
const DocumentLabel kLabelHaiguusyaName{"配偶者の氏名"};
const DocumentLabel kLabelHaiguusyaSeinengappi{"配偶者の生年月日"};
const DocumentLabel kLabelHaiguusyaSyougaisya{"障害者区分(配偶者)"};

struct CountItem {
    PcaColumn column;  // of table 10603
    DocumentLabel label;
};

CountItem Count(const char* column, const char* label) {
    return {FindPcaColumn("10603", column), DocumentLabel(label)};
}

const CountItem kFuyouNinzuu[] = {
    Count("扶養親族人数 16歳未満", "年少扶養人数"),
    Count("扶養親族人数 一般扶養親族", "一般扶養人数"),
    Count("扶養親族人数 特定扶養親族", "特定扶養人数"),
    Count("扶養親族人数 老人扶養親族同居", "老人扶養(同居老親等)人数"),
    Count("扶養親族人数 老人扶養親族その他", "老人扶養(その他)人数"),
    Count("扶養親族人数 一般障害者", "障害者(一般)人数"),
    Count("扶養親族人数 特別障害者", "障害者(特別)人数"),
    Count("扶養親族人数 同居特別障害者", "障害者(同居特別)人数"),
};

}  // namespace

void CExchangeFromPCAToKw39::ConvertHaiguusya(const std::string& code) {
    const std::vector<std::string_view>& numbers = SelectOfEmployee(kFuyosyaBangou, code);
    const bool hasSpouse =
        std::find(numbers.begin(), numbers.end(), kSpouseNumber) != numbers.end();
    if (!hasSpouse) {
        SetData(code, "", kLabelHaiguusyaName);
        SetData(code, "", kLabelHaiguusyaSeinengappi);
        return;
    }
    const std::string family = RemoveBlanks(Value(kFuyosyaSei, code, kSpouseNumber));
    const std::string given = RemoveBlanks(Value(kFuyosyaMei, code, kSpouseNumber));
    SetData(code, JoinNameParts(family, given), kLabelHaiguusyaName);
    SetData(code, Value(kFuyosyaSeinengappi, code, kSpouseNumber), kLabelHaiguusyaSeinengappi);
}

void CExchangeFromPCAToKw39::ConvertHaiguusyaSyougaisya(const std::string& code) {
    const std::string_view kubun = Value(kHaiguusyaSyougaisyaKubun, code);
    SetData(code, MapCode(kubun, kHaiguusyaSyougaisya, ""), kLabelHaiguusyaSyougaisya);
    if (!kubun.empty() && !HasCode(kubun, kHaiguusyaSyougaisya) && Observes("障害者区分(配偶者)")) {
        m_pObserver->Found(UnconvertedCode{code, "10603", "配偶者 障害者区分", kubun, {}, {}});
    }
}

void CExchangeFromPCAToKw39::ConvertFuyosya(const std::string& code) {
    // Each dependant is read under the number PCA filed it with, so gaps in the
    // numbering and a spouse in any position lose no dependant.
    const std::vector<std::string_view>& numbers = SelectOfEmployee(kFuyosyaBangou, code);
    int count = 0;
    for (const std::string_view number : numbers) {
        if (number == kSpouseNumber) continue;
        if (count == kMaxFuyosya) {
            // Simple mode writes no dependant, only head counts of them all:
            // nothing is left out of it.
            if (!m_pObserver || m_mode == kModeSimple) break;
            m_pObserver->Found(FuyosyaLeftOut{code, number});
            continue;
        }
        CFuyosya fuyosya;
        fuyosya.m_strName = JoinNameParts(RemoveBlanks(Value(kFuyosyaSei, code, number)),
                                          RemoveBlanks(Value(kFuyosyaMei, code, number)));
        fuyosya.m_strZokugara = Value(kFuyosyaZokugara, code, number);
        fuyosya.m_strSeinengappi = Value(kFuyosyaSeinengappi, code, number);
        const std::string_view kubun = Value(kFuyosyaKubun, code, number);
        fuyosya.m_strFuyoukubun = MapCode(kubun, kFuyoukubun, "");
        if (!kubun.empty() && !HasCode(kubun, kFuyoukubun) && Observes("扶養区分")) {
            m_pObserver->Found(UnconvertedCode{code, "10616", "扶養区分", kubun, number, {}});
        }
        const std::string_view syougaisya = Value(kFuyosyaSyougaisyaKubun, code, number);
        fuyosya.m_strSyougaisya = MapCode(syougaisya, kFuyosyaSyougaisya, "0");
        if (!syougaisya.empty() && !HasCode(syougaisya, kFuyosyaSyougaisya) &&
            Observes("扶養親族の障害者区分")) {
            m_pObserver->Found(UnconvertedCode{code, "10616", "障害者区分", syougaisya, number,
                                               fuyosya.m_strSyougaisya});
        }
        m_store.SetFuyosya(code, std::move(fuyosya));
        ++count;
    }
}

void CExchangeFromPCAToKw39::ConvertFuyouNinzuu(const std::string& code) {
    for (const CountItem& item : kFuyouNinzuu) {
        const std::string_view value = Value(item.column, code);
        SetData(code, value == "0" ? std::string_view() : value, item.label);
    }
}

}  // namespace kw39
