// The static field catalogue of the output document and the label lookup.
#include "export/field_catalogue.h"

#include <array>
#include <unordered_map>

namespace kw39 {

namespace {

// Kinds: "英数字" alphanumeric, "文字" text, "日付" date, "フラグ" flag, "数字" digits,
// "金額" amount, "数値" number. Width, kind, item number and default describe the
// importer's format; nothing here checks or pads values against them.

constexpr XMLITEMINFO g_aHonninItems[] = {
    {1, "SYOZOKU_CODE", "所属コード", 10, "英数字", "", 1, 1},
    {2, "SYOZOKU_NAME", "所属名称", 40, "文字", "", 1, 1},
    {3, "FURIGANA", "社員 フリガナ", 16, "文字", "", 1, 1},
    {4, "SEINENGAPPI", "社員 生年月日", 8, "日付", "", 1, 1},
    {5, "SEIBETU", "性別", 1, "フラグ", "", 1, 1},
    {6, "YUUBINBANGOU_1", "郵便番号(前)", 3, "数字", "", 1, 1},
    {7, "YUUBINBANGOU_2", "郵便番号(後)", 4, "数字", "", 1, 1},
    {8, "JUUSYO_1", "住所(上段)", 40, "文字", "", 1, 1},
    {9, "JUUSYO_2", "住所(下段)", 40, "文字", "", 1, 1},
    {10, "SETAINUSI", "世帯主", 16, "文字", "", 1, 1},
    {11, "ZOKUGARA", "続柄", 6, "文字", "", 1, 1},
    {12, "YAKUSYOKU", "役職", 20, "文字", "", 1, 1},
    {13, "HOUJINYAKUIN", "法人の役員", 1, "フラグ", "", 1, 1},
    {14, "GENKYOU", "現況", 1, "フラグ", "", 1, 1},
    {15, "NYUUSYANENGAPPI", "入社年月日", 8, "日付", "", 1, 1},
    {16, "TAISYOKUNENGAPPI", "退職年月日", 8, "日付", "", 1, 1},
    {17, "NOUFUSAKI_CODE", "納付先(市町村)コード", 3, "英数字", "", 1, 1},
    {18, "NOUFUSAKI_NAME", "納付先(市町村)名称", 20, "文字", "", 1, 1},
    {19, "NENTYOU", "年調区分", 1, "フラグ", "", 1, 1},
    {20, "KOUOTU", "甲乙区分", 1, "フラグ", "", 1, 1},
    {21, "FUYOUKOUJOSINKOKU", "扶養控除等の申告", 1, "フラグ", "", 1, 1},
    {22, "CHOUSYUUHOUHOU", "徴収方法", 1, "フラグ", "", 1, 1},
    {23, "JOUYAKUMENJO", "条約免除", 1, "フラグ", "", 1, 1},
    {24, "AOIROSENJUUSYA", "青色専従者", 1, "フラグ", "", 1, 1},
    {25, "SYOUGAISYA", "障害者区分", 1, "フラグ", "", 1, 1},
    {26, "KAFU", "寡婦(寡夫)", 1, "フラグ", "", 1, 1},
    {27, "TOKUBETUKAFU", "特別寡婦", 1, "フラグ", "", 1, 1},
    {28, "KINROUGAKUSEI", "勤労学生", 1, "フラグ", "", 1, 1},
    {29, "SAIGAISYA", "災害者", 1, "フラグ", "", 1, 1},
    {30, "GAIKOKUJIN", "外国人", 1, "フラグ", "", 1, 1},
    {31, "ZENSYOKU_KINMUSAKI", "前職 勤務先名称", 20, "文字", "", 1, 1},
    {32, "ZENSYOKU_KINMUSAKIJUUSYO", "前職 勤務先所在地", 42, "文字", "", 1, 1},
    {33, "ZENSYOKU_TAISYOKUNENGAPPI", "前職 退職年月日", 8, "日付", "", 1, 1},
    {34, "ZENSYOKU_SOUSIKYUUGAKU", "前職 総支給金額", 8, "金額", "", 1, 1},
    {35, "ZENSYOKU_HOKENKOUJOGAKU", "前職 社会保険料等の控除額", 8, "金額", "", 1, 1},
    {36, "ZENSYOKU_SANSYUTUZEIGAKU", "前職 徴収税額", 8, "金額", "", 1, 1},
};

constexpr XMLITEMINFO g_aHaiguusyaItems[] = {
    {1, "HAIGUUSYAUMU", "配偶者の有無", 1, "フラグ", "", 1, 1},
    {12, "FURIGANA", "配偶者の氏名(フリガナ)", 16, "文字", "", 1, 0},
    {13, "NAME", "配偶者の氏名", 16, "文字", "", 1, 0},
    {14, "SEINENGAPPI", "配偶者の生年月日", 8, "日付", "", 1, 0},
    {22, "KOUJOTAISYOUHAIGUUSYA", "控除対象配偶者", 1, "フラグ", "", 0, 1},
    {5, "HAIGUUSYASYOTOKU", "配偶者所得(見積)", 9, "金額", "", 1, 1},
    {6, "SYOUGAISYA", "障害者区分(配偶者)", 1, "フラグ", "", 1, 1},
    {25, "HAIGUUSYATOKUBETUKOUJOGAKU", "配偶者特別控除額", 6, "金額", "", 0, 1},
};

constexpr XMLITEMINFO g_aKazokuItems[] = {
    {11, "NAME", "扶養親族の氏名", 16, "文字", "", 1, 0},
    {12, "ZOKUGARA", "扶養親族の続柄", 6, "文字", "", 1, 0},
    {13, "SEINENGAPPI", "扶養親族の生年月日", 8, "日付", "", 1, 0},
    {14, "FUYOUKUBUN", "扶養区分", 1, "フラグ", "", 1, 0},
    {15, "SYOUGAISYA", "扶養親族の障害者区分", 1, "フラグ", "", 1, 0},
    {21, "NENSYOUFUYOU", "年少扶養人数", 2, "数値", "", 0, 1},
    {22, "IPPANFUYOU", "一般扶養人数", 2, "数値", "", 0, 1},
    {23, "TOKUTEIFUYOU", "特定扶養人数", 2, "数値", "", 0, 1},
    {24, "ROUJINFUYOU_DOUKYOROUSIN", "老人扶養(同居老親等)人数", 2, "数値", "", 0, 1},
    {25, "ROUJINFUYOU_SONOTA", "老人扶養(その他)人数", 2, "数値", "", 0, 1},
    {26, "SYOUGAISYA_IPPAN", "障害者(一般)人数", 2, "数値", "", 0, 1},
    {27, "SYOUGAISYA_TOKUBETU", "障害者(特別)人数", 2, "数値", "", 0, 1},
    {28, "SYOUGAISYA_DOUKYOTOKUBETU", "障害者(同居特別)人数", 2, "数値", "", 0, 1},
};

constexpr XMLITEMINFO g_aKoujogakuItems[] = {
    {1, "SYAHOKOUJO_KYUUYO", "社保等給与等控除分(控除額)", 9, "金額", "", 1, 1},
    {2, "SYAHO_KOUJOBUN", "社保等申告社保控除分(支払)", 8, "金額", "", 1, 1},
    {3, "KOKUMINNNENKINHOKENRYOU", "国民年金保険料等の金額", 8, "金額", "", 1, 1},
    {4, "SYAHO_SYOUKIBOKYOUSAI", "社保等申告小規模企業共済(支払)", 8, "金額", "", 1, 1},
    {5, "SEIHO_IPPAN_H24IKOU", "生保一般新(支払)", 9, "金額", "", 1, 1},
    {6, "SEIHO_IPPAN", "生保一般旧(支払)", 9, "金額", "", 1, 1},
    {7, "SEIHO_KAIGO", "生保介護医療(支払)", 9, "金額", "", 1, 1},
    {8, "SEIHO_KOJIN_H24IKOU", "生保個人年金新(支払)", 9, "金額", "", 1, 1},
    {9, "SEIHO_KOJIN", "生保個人年金旧(支払)", 9, "金額", "", 1, 1},
    {10, "JISINHOKEN", "地震保険(支払)", 9, "金額", "", 1, 1},
    {11, "SONPO_TYOUKI", "旧長期損保(支払)", 9, "金額", "", 1, 1},
    {12, "JUUTAKU_TOKUBETUKOUJO", "住宅借入金等特別控除額", 6, "金額", "", 1, 1},
    {13, "JUUTAKU_KYOJUUNENGAPPI_1", "居住年月日(1回目)", 6, "金額", "", 1, 1},
    {14, "JUUTAKU_KARIIREGAKU_1", "借入金等の額(1回目)", 6, "金額", "", 1, 1},
    {15, "JUUTAKU_KOUJOKUBUN_1", "特別控除区分(1回目)", 6, "金額", "", 1, 1},
    {16, "JUUTAKU_KYOJUUNENGAPPI_2", "居住年月日(2回目)", 6, "金額", "", 1, 1},
    {17, "JUUTAKU_KARIIREGAKU_2", "借入金等の額(2回目)", 6, "金額", "", 1, 1},
    {18, "JUUTAKU_KOUJOKUBUN_2", "特別控除区分(2回目)", 6, "金額", "", 1, 1},
    {19, "TOKUBETUGENZEI", "特別減税", 7, "金額", "", 1, 1},
};

constexpr XMLITEMINFO g_aKyuuyoItems[] = {
    {1, "SOUSIKYUUGAKU", "給与・総支給金額", 9, "金額", "", 1, 1},
    {2, "HOKENKOUJOGAKU", "給与・社会保険料等の控除額", 9, "金額", "", 1, 1},
    {3, "FUYOUSINZOKUSUU", "給与・扶養親族等の数", 2, "数値", "", 1, 1},
    {4, "SANSYUTUZEIGAKU", "給与・算出税額", 9, "金額", "", 1, 1},
};

constexpr XMLITEMINFO g_aShouyoItems[] = {
    {1, "SOUSIKYUUGAKU", "賞与・総支給金額", 9, "金額", "", 1, 1},
    {2, "HOKENKOUJOGAKU", "賞与・社会保険料等の控除額", 9, "金額", "", 1, 1},
    {3, "FUYOUSINZOKUSUU", "賞与・扶養親族等の数", 2, "数値", "", 1, 1},
    {4, "SANSYUTUZEIGAKU", "賞与・算出税額", 9, "金額", "", 1, 1},
};

constexpr XMLITEMINFO g_aGoukeiItems[] = {
    {1, "KYUUYO_SOUSIKYUUGAKU_GOUKEI", "給与・手当等(金額)", 9, "金額", "", 1, 1},
    {2, "KYUUYO_SANSYUTUZEIGAKU_GOUKEI", "給与・手当等(税額)", 9, "金額", "", 1, 1},
    {3, "SYOUYO_SOUSIKYUUGAKU_GOUKEI", "賞与等(金額)", 9, "金額", "", 1, 1},
    {4, "SYOUYO_SANSYUTUZEIGAKU_GOUKEI", "賞与等(税額)", 9, "金額", "", 1, 1},
    {5, "SOUSIKYUUGAKU_GOUKEI", "計(金額)", 9, "金額", "", 1, 1},
    {6, "SANSYUTUZEIGAKU_GOUKEI", "計(税額)", 9, "金額", "", 1, 1},
};

// The arrays whose labels SetData accepts, in slot order.
constexpr std::array<std::span<const XMLITEMINFO>, 5> kAcceptedArrays = {
    g_aHonninItems, g_aHaiguusyaItems, g_aKazokuItems, g_aKoujogakuItems, g_aGoukeiItems};

std::unordered_map<std::string_view, int> BuildAcceptedLabels() {
    std::unordered_map<std::string_view, int> slots;
    slots.reserve(kAcceptedLabelCount);
    int slot = 0;
    for (const auto items : kAcceptedArrays) {
        for (const XMLITEMINFO& item : items) slots.emplace(item.pszLabel, slot++);
    }
    return slots;
}

}  // namespace

std::span<const XMLITEMINFO> HonninItems() { return g_aHonninItems; }
std::span<const XMLITEMINFO> HaiguusyaItems() { return g_aHaiguusyaItems; }
std::span<const XMLITEMINFO> KazokuItems() { return g_aKazokuItems; }
std::span<const XMLITEMINFO> KoujogakuItems() { return g_aKoujogakuItems; }
std::span<const XMLITEMINFO> KyuuyoItems() { return g_aKyuuyoItems; }
std::span<const XMLITEMINFO> ShouyoItems() { return g_aShouyoItems; }
std::span<const XMLITEMINFO> GoukeiItems() { return g_aGoukeiItems; }

int AcceptedLabelSlot(std::string_view label) {
    static const std::unordered_map<std::string_view, int> slots = BuildAcceptedLabels();
    const auto it = slots.find(label);
    return it == slots.end() ? -1 : it->second;
}

bool IsLabelWrittenInMode(std::string_view label, LinkMode mode) {
    for (const std::span<const XMLITEMINFO> items :
         {HonninItems(), HaiguusyaItems(), KazokuItems(), KoujogakuItems(), GoukeiItems()}) {
        for (const XMLITEMINFO& item : items) {
            if (item.pszLabel == label) return IsWrittenInMode(item, mode);
        }
    }
    return false;
}

static_assert(std::size(g_aHonninItems) == 36 && std::size(g_aHaiguusyaItems) == 8 &&
              std::size(g_aKazokuItems) == 13 && std::size(g_aKoujogakuItems) == 19 &&
              std::size(g_aGoukeiItems) == 6);
static_assert(kHaiguusyaSlotBase == kHonninSlotBase + std::size(g_aHonninItems) &&
              kKazokuSlotBase == kHaiguusyaSlotBase + std::size(g_aHaiguusyaItems) &&
              kKoujogakuSlotBase == kKazokuSlotBase + std::size(g_aKazokuItems) &&
              kGoukeiSlotBase == kKoujogakuSlotBase + std::size(g_aKoujogakuItems) &&
              kAcceptedLabelCount == kGoukeiSlotBase + std::size(g_aGoukeiItems));

}  // namespace kw39
