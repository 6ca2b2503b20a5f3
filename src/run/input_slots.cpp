#include "run/input_slots.h"

namespace kw39 {

// The order is significant: paths are collected, checked and reported in it.
const std::array<InputSlot, kSlotCount> InputSlots = {{
    {"会社情報", true, "10101", "KAISHAQ"},
    {"住民税納付先", false, "10501", "NOUFUQ"},
    {"部門", false, "10301", "BUMONQ"},
    {"社員情報", true, "10601", "KOJINQ"},
    {"月次データ", false, "10701", "GETUJIQ"},
    {"年末調整データ", false, "10801", "NENCHOUQ"},
}};

}  // namespace kw39
