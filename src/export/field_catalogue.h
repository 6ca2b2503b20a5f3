// The fields the output document can carry: tag, label (the key converters file
// values under), declared width and kind, and the modes that write them.
#pragma once

#include <span>
#include <string_view>

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
// in that order) map to the slots 0..81; -1 for any other label.
inline constexpr int kAcceptedLabelCount = 82;
int AcceptedLabelSlot(std::string_view label);

}  // namespace kw39
