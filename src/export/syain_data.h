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

}  // namespace kw39
