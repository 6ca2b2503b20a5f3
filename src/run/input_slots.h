// The six input slots in their significant order and the control ids that the
// run and the main dialog share.
#pragma once

#include <array>
#include <cstddef>

namespace kw39 {

struct InputSlot {
    const char* pszLabel;  // "会社情報", ...
    int nEditId;           // edit box with the path
    int nBrowseId;         // its "..." button
    bool bMandatory;
    const char* pszTableCode;  // table that identifies the file kind
    const char* pszPrefix;     // file-name prefix used by the folder selection
};

inline constexpr std::size_t kSlotCount = 6;

// Company, residence-tax payee, department, employee, monthly, year-end.
extern const std::array<InputSlot, kSlotCount> InputSlots;

// Control ids of the main dialog used by the run.
enum ControlId : int {
    kIdExecute = 1000,
    kIdHelp = 1001,
    kIdOutputBox = 1004,
    kIdOutputBrowse = 1005,
    kIdSelectFolder = 1008,
    kIdCompanyBox = 1009,
    kIdCompanyBrowse = 1010,
    kIdRadioStandard = 1022,
    kIdRadioSimple = 1023,
    kIdYearBox = 1027,
};

}  // namespace kw39
