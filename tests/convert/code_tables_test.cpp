// Conversion tables and the direct field map.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "convert/engine.h"
#include "export/field_catalogue.h"
#include "pca/catalogue.h"
#include "pca_fixture.h"

namespace kw39::test {
namespace {

TEST(CodeTablesTest, ConvertCodeTranslatesThroughTheNamedTable) {
    struct Case {
        std::string table;
        std::string value;
        std::string expected;
    };
    const Case cases[] = {
        {"性別", "1", "1"},
        {"性別", "2", "2"},
        {"性別", "0", ""},
        {"性別", "", ""},
        {"就労状況", "1", "在職"},
        {"就労状況", "2", "休職"},
        {"就労状況", "3", "退職"},
        {"就労状況", "4", ""},
        {"年末調整", "0", "2"},
        {"年末調整", "1", "1"},
        {"税区分", "1", "1"},
        {"税区分", "2", "2"},
        {"税区分", "3", ""},
        {"税区分", "4", ""},
        {"扶養控除申告書", "0", "0"},
        {"本人 勤労学生", "1", "1"},
        {"本人 災害者", "0", "0"},
        {"本人 外国人", "1", "1"},
        {"配偶者の有無", "1", "1"},
        {"配偶者 配偶者区分", "2", "2"},
        {"配偶者 配偶者区分", "3", ""},
        {"性別", "1 ", ""},  // exact match only
    };
    platform::MessageLog port;
    CExchangeFromPCAToKw39 engine(port);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(engine.ConvertCode(c.table, c.value), c.expected);
    }
    EXPECT_TRUE(port.messages.empty());

    EXPECT_EQ(engine.ConvertCode("社員コード", "1"), "");
    EXPECT_EQ(engine.ConvertCode("社員コード", "1"), "");
    ASSERT_EQ(port.messages.size(), 2u);  // once per call
    EXPECT_EQ(port.messages[0].text, "変換テーブルが存在しません。");
    EXPECT_EQ(port.messages[0].style, MessageStyle::Warning);
}

TEST(CodeTablesTest, DirectItemsNameRealColumnsAndAcceptedLabels) {
    const std::vector<DIRECT_ITEM>& items = DirectItems();
    ASSERT_EQ(items.size(), 49u);
    platform::MessageLog port;
    CExchangeFromPCAToKw39 engine(port);
    std::set<std::string> labels;
    for (const DIRECT_ITEM& item : items) {
        SCOPED_TRACE(item.pszTable);
        const PCATABLEINFO* table = FindPcaTable(item.pszTable);
        ASSERT_NE(table, nullptr);
        EXPECT_GE(table->FindColumn(kLookupName, item.pszColumn), 0);
        EXPECT_GE(AcceptedLabelSlot(item.pszLabel), 0);
        EXPECT_TRUE(labels.insert(item.pszLabel).second);
        if (item.bConvert == 1) engine.ConvertCode(item.pszColumn, "1");
    }
    EXPECT_TRUE(port.messages.empty());  // every translated column has its table
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
        {"10601", "性別", "2", "性別", "2"},
        {"10801", "年末調整", "0", "年調区分", "2"},
        {"10801", "年末調整", "1", "年調区分", "1"},
        {"10801", "年末調整", "", "年調区分", ""},
        {"10603", "税区分", "2", "甲乙区分", "2"},
        {"10603", "税区分", "3", "甲乙区分", ""},
        {"10603", "税区分", "4", "甲乙区分", ""},
        {"10603", "本人 外国人", " ", "外国人", ""},
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
    }
}

}  // namespace
}  // namespace kw39::test
