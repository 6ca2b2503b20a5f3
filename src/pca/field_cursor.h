// Where a reading of a row store's fields stands: the field read last. The
// conversion reads several values of one row in turn, mostly in column order,
// and the next one is found by going on from there.
#pragma once

#include <cstdint>

namespace kw39 {

struct FieldCursor {
    std::uint32_t row = UINT32_MAX;  // none yet
    int column = 0;
    const char* field = nullptr;  // where the field `column` of `row` starts
};

}  // namespace kw39
