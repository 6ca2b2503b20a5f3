#include "pca/catalogue.h"

#include <gtest/gtest.h>

#include <string>

namespace kw39 {
namespace {

TEST(PcaCatalogue, TablesInOrderWithTheirColumnAndKeyCounts) {
    struct Expected {
        const char* code;
        int columns;
        int keys;
    };
    const Expected expected[] = {
        {"10000", 9, 0},  {"10101", 20, 0},  {"10103", 5, 1},  {"10501", 9, 1},   {"10301", 4, 1},
        {"10601", 29, 1}, {"10603", 35, 1},  {"10611", 17, 1}, {"10615", 8, 1},   {"10616", 20, 2},
        {"10701", 63, 2}, {"10702", 157, 2}, {"10705", 22, 2}, {"10706", 122, 2}, {"10801", 4, 1},
        {"10802", 24, 1}, {"10803", 18, 1},  {"10804", 23, 1},
    };
    const std::vector<PCATABLEINFO>& tables = PcaCatalogue();
    ASSERT_EQ(tables.size(), std::size(expected));
    for (std::size_t i = 0; i < tables.size(); ++i) {
        const PCATABLEINFO& table = tables[i];
        SCOPED_TRACE(table.strCode);
        EXPECT_EQ(table.strCode, expected[i].code);
        EXPECT_EQ(table.nColumns, expected[i].columns);
        EXPECT_EQ(static_cast<int>(table.aColumns.size()), expected[i].columns);
        EXPECT_EQ(table.nKeyColumns, expected[i].keys);
        EXPECT_EQ(PcaTableIndex(expected[i].code), static_cast<int>(i));
        EXPECT_EQ(FindPcaTable(expected[i].code), &table);
        // The reader builds row keys from the leading fields of a line.
        for (int c = 0; c < table.nColumns; ++c) {
            const PCACOLUMNINFO& column = table.aColumns[static_cast<std::size_t>(c)];
            EXPECT_EQ(column.nKey, c < table.nKeyColumns ? 1 : 0) << c;
            EXPECT_EQ(column.nSeq, c + 1);
            EXPECT_STREQ(column.pszAlias, "");
            EXPECT_GT(column.nWidth, 0);
        }
    }
}

TEST(PcaCatalogue, ColumnNamesAndWidthsByteForByte) {
    struct Expected {
        const char* code;
        int position;  // 1-based
        const char* name;
        int width;
    };
    const Expected expected[] = {
        {"10000", 5, "プログラムVer.", 5},
        {"10101", 5, "住所１", 40},         // full-width digit
        {"10101", 7, "住所フリガナ1", 40},  // ASCII digit
        {"10101", 11, "代表者 姓", 20},
        {"10301", 1, "部門コード", 62},
        {"10601", 3, "氏名（姓）", 20},
        {"10601", 17, "TEL１", 26},
        {"10601", 29, "休職事由", 1},
        {"10603", 5, "本人 寡婦（夫）等区分", 1},
        {"10603", 29, "摘要1", 38},
        {"10603", 32, "摘要4", 38},
        {"10603", 35, "前職分 退職日", 8},
        {"10611", 5, "住民税1月", 7},
        {"10611", 17, "住民税13月", 7},
        {"10616", 2, "扶養親族番号", 2},
        {"10701", 31, "残業休日普通時間60 超", 6},
        {"10701", 32, "残業休日普通時間60 超", 6},
        {"10701", 39, "勤怠時間項目1", 6},
        {"10701", 58, "勤怠数値項目10", 5},
        {"10701", 63, "産休育休免除", 1},
        {"10702", 5, "給与支給項目1", 9},
        {"10702", 54, "給与支給項目50", 9},
        {"10702", 55, "残業平日普通", 9},
        {"10702", 82, "課税合計", 9},
        {"10702", 104, "給与控除項目1", 9},
        {"10702", 133, "給与控除項目30", 9},
        {"10702", 156, "健康保険 標準報酬月額(翌月分)", 7},
        {"10702", 157, "厚生年金 標準報酬月額(翌月分)", 6},
        {"10705", 2, "支給回", 1},
        {"10705", 17, "基礎数値項目10", 5},
        {"10706", 76, "賞与控除項目1", 9},
        {"10706", 105, "賞与控除項目30", 9},
        {"10706", 118, "健康保険　標準賞与額", 7},  // full-width space
        {"10804", 1, "社員コート", 13},
        {"10804", 8, "社宅借入金等3回目 居住開始年月日", 8},
        {"10804", 13, "摘要転記（住宅借入金等)", 1},
        {"10804", 17, "摘要（その他)", 152},
    };
    for (const Expected& e : expected) {
        const PCATABLEINFO* table = FindPcaTable(e.code);
        ASSERT_NE(table, nullptr) << e.code;
        const PCACOLUMNINFO& column = table->aColumns[static_cast<std::size_t>(e.position - 1)];
        EXPECT_EQ(std::string(column.pszName), e.name) << e.code << " " << e.position;
        EXPECT_EQ(column.nWidth, e.width) << e.code << " " << e.position;
    }
}

TEST(PcaCatalogue, TableCodesMatchExactly) {
    for (const char* code : {"1060", "10601 ", "010601", " 10601", "12345", "", "10601x"}) {
        EXPECT_EQ(FindPcaTable(code), nullptr) << code;
        EXPECT_EQ(PcaTableIndex(code), -1) << code;
    }
}

TEST(PcaCatalogue, ColumnLookupsByAliasNameAndPosition) {
    struct Case {
        const char* code;
        int kind;
        const char* column;
        int expected;
    };
    const Case cases[] = {
        // Every alias is "", so the alias index holds "" -> the last column.
        {"10601", kLookupAlias, "", 28},
        {"10000", kLookupAlias, "", 8},
        {"10702", kLookupAlias, "", 156},
        {"10601", kLookupAlias, "社員コード", -1},
        {"10601", kLookupName, "社員コード", 0},
        {"10601", kLookupName, "部門名", -1},
        {"10601", kLookupName, "", -1},
        {"10601", kLookupName, "社員コード ", -1},
        // The duplicate name reaches the later column.
        {"10701", kLookupName, "残業休日普通時間60 超", 31},
        {"10804", kLookupName, "社員コード", -1},
        {"10804", kLookupName, "社員コート", 0},
        {"10601", kLookupNumber, "1", 0},
        {"10601", kLookupNumber, "29", 28},
        {"10601", kLookupNumber, "30", -1},
        {"10601", kLookupNumber, "0", -1},
        {"10601", kLookupNumber, "01", -1},
        {"10601", kLookupNumber, " 1", -1},
        {"10702", kLookupNumber, "157", 156},
        {"10601", 3, "社員コード", -1},
        {"10601", -1, "社員コード", -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindPcaTable(c.code)->FindColumn(c.kind, c.column), c.expected)
            << c.code << " kind " << c.kind << " " << c.column;
    }
}

TEST(PcaCatalogue, IndexesHoldOneEntryPerDistinctText) {
    for (const PCATABLEINFO& table : PcaCatalogue()) {
        EXPECT_EQ(table.mapAliasIndex.size(), 1u) << table.strCode;
        EXPECT_EQ(table.mapNumberIndex.size(), static_cast<std::size_t>(table.nColumns));
        const std::size_t duplicates = table.strCode == "10701" ? 1 : 0;
        EXPECT_EQ(table.mapNameIndex.size() + duplicates, static_cast<std::size_t>(table.nColumns))
            << table.strCode;
    }
}

}  // namespace
}  // namespace kw39
