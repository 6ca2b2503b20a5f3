// The six input slots in their significant order: what each one holds and
// how it is recognised.
#pragma once

#include <array>
#include <cstddef>

namespace kw39 {

struct InputSlot {
    const char* pszLabel;  // "会社情報", ...
    bool bMandatory;
    const char* pszTableCode;  // table that identifies the file kind
    const char* pszPrefix;     // file-name prefix used by the folder selection
};

inline constexpr std::size_t kSlotCount = 6;

// Company, residence-tax payee, department, employee, monthly, year-end.
extern const std::array<InputSlot, kSlotCount> InputSlots;

}  // namespace kw39
