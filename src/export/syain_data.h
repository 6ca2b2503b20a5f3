// One employee's converted values as the store keeps them and the document
// writer reads them, and the linkage modes that decide what is written.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "export/records.h"

namespace kw39 {

// Linkage modes.
enum LinkMode { kModeStandard = 1, kModeSimple = 2 };

struct SYAINDETAIL {
    std::vector<CFuyosya> aFuyosya;      // dependants, in filing order
    std::vector<CKyuuyoShouyo> aShouyo;  // bonus payments (14..18), in filing order
    std::vector<CKyuuyoShouyo> aKyuuyo;  // salary payments (<= 13), in filing order
    std::vector<std::string> aValues;    // by AcceptedLabelSlot; "" when never filed
};

struct SYAINDATA {
    std::string strCode;
    std::string strName;
    std::unique_ptr<SYAINDETAIL> pDetail;
};

// Empties a record for reuse; its strings and lists keep their memory.
inline void BlankSyain(SYAINDATA& syain) {
    syain.strCode.clear();
    syain.strName.clear();
    SYAINDETAIL& detail = *syain.pDetail;
    detail.aFuyosya.clear();
    detail.aShouyo.clear();
    detail.aKyuuyo.clear();
    for (std::string& value : detail.aValues) value.clear();
}

}  // namespace kw39
