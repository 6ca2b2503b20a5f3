// Deductions that are computed: the small-enterprise mutual-aid sum and the
// collection method.
#include <cstdint>
#include <string>

#include "convert/engine.h"
#include "convert/text_rules.h"

namespace kw39 {

void CExchangeFromPCAToKw39::ConvertSyoukiboKyousai(const std::string& code) {
    const std::string_view amounts[] = {
        Value("10802", code, "独立行政法人中小企業基盤整備機構の共済契約の掛金"),
        Value("10802", code, "個人型又は企業型年金加入者掛金"),
        Value("10802", code, "心身障害者扶養共済制度に関する契約の掛金"),
    };
    bool anyGiven = false;
    // Each amount fits 32 bits; their sum may not, so it is added in 64.
    std::int64_t sum = 0;
    for (const std::string_view amount : amounts) {
        if (amount.empty()) continue;
        anyGiven = true;
        sum += ToInteger(amount);
    }
    SetData(code, anyGiven ? std::to_string(sum) : std::string(), "社保等申告小規模企業共済(支払)");
}

void CExchangeFromPCAToKw39::ConvertChousyuuHouhou(const std::string& code) {
    const std::string_view zeikubun = Value("10603", code, "税区分");
    const std::string_view status = Value("10601", code, "就労状況");
    SetData(code, (zeikubun == "2" || status == "3") ? "2" : "1", "徴収方法");
}

}  // namespace kw39
