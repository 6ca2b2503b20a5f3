#include "export/field_catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

namespace kw39 {
namespace {

struct ArrayCase {
    const char* name;
    std::span<const XMLITEMINFO> items;
    std::size_t count;
    int slotBase;  // -1: labels not accepted
};

std::vector<ArrayCase> AllArrays() {
    return {
        {"Honnin", HonninItems(), 36, kHonninSlotBase},
        {"Haiguusya", HaiguusyaItems(), 8, kHaiguusyaSlotBase},
        {"Kazoku", KazokuItems(), 13, kKazokuSlotBase},
        {"Koujogaku", KoujogakuItems(), 19, kKoujogakuSlotBase},
        {"Kyuuyo", KyuuyoItems(), 4, -1},
        {"Shouyo", ShouyoItems(), 4, -1},
        {"Goukei", GoukeiItems(), 6, kGoukeiSlotBase},
    };
}

TEST(FieldCatalogue, ArraysHaveTheirSizesAndLabelsMapToTheirSlots) {
    std::set<std::string> labels;
    std::set<int> slots;
    std::size_t total = 0;
    for (const ArrayCase& array : AllArrays()) {
        SCOPED_TRACE(array.name);
        ASSERT_EQ(array.items.size(), array.count);
        total += array.items.size();
        for (std::size_t i = 0; i < array.items.size(); ++i) {
            const XMLITEMINFO& item = array.items[i];
            SCOPED_TRACE(item.pszTag);
            EXPECT_TRUE(labels.insert(item.pszLabel).second) << "label repeated";
            EXPECT_STREQ(item.pszDefault, "");
            EXPECT_TRUE(item.bNormal == 1 || item.bEasy == 1);
            const int slot = AcceptedLabelSlot(item.pszLabel);
            if (array.slotBase < 0) {
                EXPECT_EQ(slot, -1) << "payment labels must not be accepted";
            } else {
                EXPECT_EQ(slot, array.slotBase + static_cast<int>(i));
                slots.insert(slot);
            }
        }
    }
    EXPECT_EQ(total, 90u);
    EXPECT_EQ(slots.size(), static_cast<std::size_t>(kAcceptedLabelCount));
    EXPECT_EQ(*slots.begin(), 0);
    EXPECT_EQ(*slots.rbegin(), kAcceptedLabelCount - 1);
}

TEST(FieldCatalogue, UnknownLabelsHaveNoSlot) {
    for (const char* label : {"", "所属", "所属コード ", "給与・総支給金額", "賞与・算出税額",
                              "SYOZOKU_CODE", "社員　フリガナ"}) {
        EXPECT_EQ(AcceptedLabelSlot(label), -1) << label;
    }
}

TEST(FieldCatalogue, SelectedEntriesAreExact) {
    struct Case {
        std::span<const XMLITEMINFO> items;
        std::size_t index;
        XMLITEMINFO expected;
    };
    const Case cases[] = {
        {HonninItems(), 0, {1, "SYOZOKU_CODE", "所属コード", 10, "英数字", "", 1, 1}},
        {HonninItems(), 2, {3, "FURIGANA", "社員 フリガナ", 16, "文字", "", 1, 1}},
        {HonninItems(), 25, {26, "KAFU", "寡婦(寡夫)", 1, "フラグ", "", 1, 1}},
        {HonninItems(), 35, {36, "ZENSYOKU_SANSYUTUZEIGAKU", "前職 徴収税額", 8, "金額", "", 1, 1}},
        {HaiguusyaItems(), 1, {12, "FURIGANA", "配偶者の氏名(フリガナ)", 16, "文字", "", 1, 0}},
        {HaiguusyaItems(),
         4,
         {22, "KOUJOTAISYOUHAIGUUSYA", "控除対象配偶者", 1, "フラグ", "", 0, 1}},
        {HaiguusyaItems(), 5, {5, "HAIGUUSYASYOTOKU", "配偶者所得(見積)", 9, "金額", "", 1, 1}},
        {HaiguusyaItems(),
         7,
         {25, "HAIGUUSYATOKUBETUKOUJOGAKU", "配偶者特別控除額", 6, "金額", "", 0, 1}},
        {KazokuItems(), 0, {11, "NAME", "扶養親族の氏名", 16, "文字", "", 1, 0}},
        {KazokuItems(),
         8,
         {24, "ROUJINFUYOU_DOUKYOROUSIN", "老人扶養(同居老親等)人数", 2, "数値", "", 0, 1}},
        {KoujogakuItems(),
         2,
         {3, "KOKUMINNNENKINHOKENRYOU", "国民年金保険料等の金額", 8, "金額", "", 1, 1}},
        {KoujogakuItems(), 18, {19, "TOKUBETUGENZEI", "特別減税", 7, "金額", "", 1, 1}},
        {KyuuyoItems(),
         1,
         {2, "HOKENKOUJOGAKU", "給与・社会保険料等の控除額", 9, "金額", "", 1, 1}},
        {ShouyoItems(), 2, {3, "FUYOUSINZOKUSUU", "賞与・扶養親族等の数", 2, "数値", "", 1, 1}},
        {GoukeiItems(), 5, {6, "SANSYUTUZEIGAKU_GOUKEI", "計(税額)", 9, "金額", "", 1, 1}},
    };
    for (const Case& c : cases) {
        const XMLITEMINFO& item = c.items[c.index];
        SCOPED_TRACE(c.expected.pszTag);
        EXPECT_EQ(item.nItemNo, c.expected.nItemNo);
        EXPECT_STREQ(item.pszTag, c.expected.pszTag);
        EXPECT_STREQ(item.pszLabel, c.expected.pszLabel);
        EXPECT_EQ(item.nWidth, c.expected.nWidth);
        EXPECT_STREQ(item.pszKind, c.expected.pszKind);
        EXPECT_EQ(item.bNormal, c.expected.bNormal);
        EXPECT_EQ(item.bEasy, c.expected.bEasy);
    }
}

TEST(FieldCatalogue, ModeFlagsSplitSpouseAndDependants) {
    // Per mode, the tags each array writes, in order.
    auto written = [](std::span<const XMLITEMINFO> items, LinkMode mode) {
        std::string tags;
        for (const XMLITEMINFO& item : items) {
            if (IsWrittenInMode(item, mode)) tags += std::string(item.pszTag) + " ";
        }
        return tags;
    };
    EXPECT_EQ(written(HaiguusyaItems(), kModeStandard),
              "HAIGUUSYAUMU FURIGANA NAME SEINENGAPPI HAIGUUSYASYOTOKU SYOUGAISYA ");
    EXPECT_EQ(written(HaiguusyaItems(), kModeSimple),
              "HAIGUUSYAUMU KOUJOTAISYOUHAIGUUSYA HAIGUUSYASYOTOKU SYOUGAISYA "
              "HAIGUUSYATOKUBETUKOUJOGAKU ");
    EXPECT_EQ(written(KazokuItems(), kModeStandard),
              "NAME ZOKUGARA SEINENGAPPI FUYOUKUBUN SYOUGAISYA ");
    EXPECT_EQ(written(KazokuItems(), kModeSimple),
              "NENSYOUFUYOU IPPANFUYOU TOKUTEIFUYOU ROUJINFUYOU_DOUKYOROUSIN ROUJINFUYOU_SONOTA "
              "SYOUGAISYA_IPPAN SYOUGAISYA_TOKUBETU SYOUGAISYA_DOUKYOTOKUBETU ");
    for (const LinkMode mode : {kModeStandard, kModeSimple}) {
        EXPECT_EQ(std::ranges::count_if(HonninItems(),
                                        [&](const auto& i) { return IsWrittenInMode(i, mode); }),
                  36);
        EXPECT_EQ(std::ranges::count_if(KoujogakuItems(),
                                        [&](const auto& i) { return IsWrittenInMode(i, mode); }),
                  19);
        EXPECT_EQ(std::ranges::count_if(GoukeiItems(),
                                        [&](const auto& i) { return IsWrittenInMode(i, mode); }),
                  6);
    }
}

}  // namespace
}  // namespace kw39
