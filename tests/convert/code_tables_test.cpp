// Conversion tables and the direct field map.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <string_view>

#include "convert/engine.h"
#include "export/field_catalogue.h"
#include "pca/catalogue.h"
#include "pca_fixture.h"

namespace kw39::test {
namespace {

TEST(CodeTablesTest, DirectItemsNameRealColumnsAndAcceptedLabels) {
    const std::vector<DIRECT_ITEM>& items = DirectItems();
    ASSERT_EQ(items.size(), 49u);
    std::set<std::string> labels;
    for (const DIRECT_ITEM& item : items) {
        SCOPED_TRACE(item.pszTable);
        const PCATABLEINFO* table = FindPcaTable(item.pszTable);
        ASSERT_NE(table, nullptr);
        EXPECT_GE(table->FindColumn(kLookupName, item.pszColumn), 0);
        EXPECT_GE(AcceptedLabelSlot(item.pszLabel), 0);
        EXPECT_TRUE(labels.insert(item.pszLabel).second);
        // Every translated column has its conversion table.
        const auto tables = ConvertItems();
        EXPECT_TRUE(item.bConvert != 1 ||
                    std::any_of(tables.begin(), tables.end(), [&item](const CONVERT_ITEM& entry) {
                        return std::string_view(entry.pszTable) == item.pszColumn;
                    }));
    }
    EXPECT_STREQ(items[6].pszLabel, "現況");
    EXPECT_EQ(items[6].bConvert, 1);
}

TEST(CodeTablesTest, DirectItemsCopyTranslateAndBlankASingleSpace) {
    struct Case {
        std::string table;
        std::string column;
        std::string value;
        std::string label;
        std::string expected;
    };
    const Case cases[] = {
        {"10601", "住所１", " ", "住所(上段)", ""},
        {"10601", "住所１", "  ", "住所(上段)", "  "},
        {"10601", "住所１", " 東京", "住所(上段)", " 東京"},
        {"10601", "住所１", "東京都 港区", "住所(上段)", "東京都 港区"},
        {"10601", "生年月日", "19800101", "社員 生年月日", "19800101"},
        {"10601", "性別", "0", "性別", ""},
        {"10601", "性別", "", "性別", ""},
        {"10601", "性別", "1", "性別", "1"},
        {"10601", "性別", "2", "性別", "2"},
        {"10601", "性別", "1 ", "性別", ""},  // a conversion matches exactly
        {"10801", "年末調整", "0", "年調区分", "2"},
        {"10801", "年末調整", "1", "年調区分", "1"},
        {"10801", "年末調整", "", "年調区分", ""},
        {"10603", "税区分", "1", "甲乙区分", "1"},
        {"10603", "税区分", "2", "甲乙区分", "2"},
        {"10603", "税区分", "3", "甲乙区分", ""},
        {"10603", "税区分", "4", "甲乙区分", ""},
        {"10603", "本人 外国人", " ", "外国人", ""},
        {"10603", "本人 外国人", "1", "外国人", "1"},
        {"10603", "本人 勤労学生", "1", "勤労学生", "1"},
        {"10603", "本人 災害者", "0", "災害者", "0"},
        {"10801", "扶養控除申告書", "0", "扶養控除等の申告", "0"},
        {"10615", "配偶者の有無", "1", "配偶者の有無", "1"},
        {"10603", "配偶者 配偶者区分", "2", "控除対象配偶者", "2"},
        {"10603", "配偶者 配偶者区分", "3", "控除対象配偶者", ""},
        {"10803", "総支給合計", "3600000", "計(金額)", "3600000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label + "=" + c.value);
        PcaExport data;
        if (c.table == "10601") {
            data.Add("10601", {{"社員コード", "E1"}, {c.column, c.value}});
        } else {
            data.Add("10601", {{"社員コード", "E1"}});
            data.Add(c.table, {{"社員コード", "E1"}, {c.column, c.value}});
        }
        LoadedEngine loaded(data);
        ASSERT_TRUE(loaded.ConvertAll());
        EXPECT_EQ(loaded.Value("E1", c.label), c.expected);
        EXPECT_TRUE(loaded.log.messages.empty());  // the column's table was found
    }
}

}  // namespace
}  // namespace kw39::test
