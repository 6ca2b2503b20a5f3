#include "run/input_slots.h"

namespace kw39 {

// The order is significant: paths are collected, checked and reported in it.
const std::array<InputSlot, kSlotCount> InputSlots = {{
    {"会社情報", 1009, 1010, true, "10101", "KAISHAQ"},
    {"住民税納付先", 1011, 1012, false, "10501", "NOUFUQ"},
    {"部門", 1013, 1014, false, "10301", "BUMONQ"},
    {"社員情報", 1015, 1016, true, "10601", "KOJINQ"},
    {"月次データ", 1017, 1018, false, "10701", "GETUJIQ"},
    {"年末調整データ", 1019, 1020, false, "10801", "NENCHOUQ"},
}};

}  // namespace kw39
