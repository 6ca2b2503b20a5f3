// Deductions that are computed: the small-enterprise mutual-aid sum and the
// collection method.
#include <cstdint>
#include <limits>
#include <string>

#include "convert/engine.h"
#include "convert/shared_columns.h"
#include "convert/text_rules.h"

namespace kw39 {

namespace {

// The columns read here, resolved once.
const PcaColumn kKyousaiKakekin =
    FindPcaColumn("10802", "独立行政法人中小企業基盤整備機構の共済契約の掛金");
const PcaColumn kNenkinKakekin = FindPcaColumn("10802", "個人型又は企業型年金加入者掛金");
const PcaColumn kSinsinSyougaisyaKakekin =
    FindPcaColumn("10802", "心身障害者扶養共済制度に関する契約の掛金");
const PcaColumn kZeiKubun = FindPcaColumn("10603", "税区分");
// The labels filed here, found once.
const DocumentLabel kLabelSyoukiboKyousai{"社保等申告小規模企業共済(支払)"};
const DocumentLabel kLabelChousyuuHouhou{"徴収方法"};

std::int64_t SaturatingAdd(std::int64_t a, std::int64_t b) {
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    if (b > 0 && a > kMax - b) return kMax;
    if (b < 0 && a < kMin - b) return kMin;
    return a + b;
}

}  // namespace

void CExchangeFromPCAToKw39::ConvertSyoukiboKyousai(const std::string& code) {
    const std::string_view amounts[] = {
        Value(kKyousaiKakekin, code),
        Value(kNenkinKakekin, code),
        Value(kSinsinSyougaisyaKakekin, code),
    };
    bool anyGiven = false;
    // Each amount is read in 64 bits, so that the sum is exact for every
    // amount an export can hold; only beyond that range does it saturate.
    std::int64_t sum = 0;
    for (const std::string_view amount : amounts) {
        if (amount.empty()) continue;
        anyGiven = true;
        sum = SaturatingAdd(sum, ToInteger64(amount));
    }
    SetData(code, anyGiven ? std::to_string(sum) : std::string(), kLabelSyoukiboKyousai);
}

void CExchangeFromPCAToKw39::ConvertChousyuuHouhou(const std::string& code) {
    const std::string_view zeikubun = Value(kZeiKubun, code);
    const std::string_view status = Value(kSyuurouJoukyou, code);
    SetData(code, (zeikubun == "2" || status == "3") ? "2" : "1", kLabelChousyuuHouhou);
}

}  // namespace kw39
