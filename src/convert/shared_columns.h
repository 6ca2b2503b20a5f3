// PCA columns that more than one converter reads, resolved once.
#pragma once

#include "pca/catalogue.h"

namespace kw39 {

extern const PcaColumn kSyuurouJoukyou;  // 10601 "就労状況"

}  // namespace kw39
