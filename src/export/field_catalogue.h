// The fields the output document can carry: tag, label (the key converters file
// values under), declared width and kind, and the modes that write them.
#pragma once

#include <span>
#include <string_view>

#include "export/syain_data.h"

namespace kw39 {

struct XMLITEMINFO {
    int nItemNo;
    const char* pszTag;
    const char* pszLabel;
    int nWidth;
    const char* pszKind;
    const char* pszDefault;
    unsigned char bNormal;  // written in standard mode
    unsigned char bEasy;    // written in simple mode
};

// The seven arrays, each in document order (36, 8, 13, 19, 4, 4 and 6 entries).
std::span<const XMLITEMINFO> HonninItems();
std::span<const XMLITEMINFO> HaiguusyaItems();
std::span<const XMLITEMINFO> KazokuItems();
std::span<const XMLITEMINFO> KoujogakuItems();
std::span<const XMLITEMINFO> KyuuyoItems();
std::span<const XMLITEMINFO> ShouyoItems();
std::span<const XMLITEMINFO> GoukeiItems();

// The 82 labels SetData accepts (Honnin, Haiguusya, Kazoku, Koujogaku, Goukei,
// in that order) map to the slots 0..81; -1 for any other label, including the
// payment labels, which travel only as CKyuuyoShouyo records.
inline constexpr int kAcceptedLabelCount = 82;
int AcceptedLabelSlot(std::string_view label);

// First slot of each accepted array: entry i of an array has the slot base + i,
// so the writer reaches a value without looking its label up.
inline constexpr int kHonninSlotBase = 0;
inline constexpr int kHaiguusyaSlotBase = 36;
inline constexpr int kKazokuSlotBase = 44;
inline constexpr int kKoujogakuSlotBase = 57;
inline constexpr int kGoukeiSlotBase = 76;

// True when the entry is written in `mode`.
constexpr bool IsWrittenInMode(const XMLITEMINFO& item, LinkMode mode) {
    return (mode == kModeStandard && item.bNormal == 1) || (mode == kModeSimple && item.bEasy == 1);
}

// True when the field of an accepted label is written in `mode`; false for
// any other label. Slow (a walk of the arrays): for the rare question.
bool IsLabelWrittenInMode(std::string_view label, LinkMode mode);

}  // namespace kw39
