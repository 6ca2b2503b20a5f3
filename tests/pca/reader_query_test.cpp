// Lookups on the loaded tables: GetValue and Select.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pca/catalogue.h"
#include "pca/reader.h"
#include "pca_files.h"
#include "support/test_support.h"

namespace kw39 {
namespace {

using platform::MessageLog;
using test::TempDir;
using test::WritePcaFile;
using Values = std::vector<std::string>;

class ReaderQuery : public ::testing::Test {
  protected:
    void Load(std::initializer_list<std::string> lines) {
        const std::string path = WritePcaFile(m_dir, "data.csv", lines);
        ASSERT_TRUE(m_reader.ReadDataFiles({path}, 1));
    }

    Values Select(const std::string& table, const std::string& column,
                  std::vector<ROW_ITEM> conditions, unsigned char matchAll) {
        PCASELECT request;
        request.strTable = table;
        request.strColumn = column;
        request.aConditions = std::move(conditions);
        request.bMatchAll = matchAll;
        const auto& result = m_reader.Select(request);
        return Values(result.begin(), result.end());
    }

    // The selection of one employee's rows, and the same question put so that
    // it takes the walk over the whole table.
    Values ByEmployee(const std::string& table, const std::string& column,
                      const std::string& code) {
        const Values fast = Select(table, column, {{"社員コード", code}}, 1);
        const Values walked =
            Select(table, column, {{"社員コード", code}, {"社員コード", code}}, 1);
        EXPECT_EQ(fast, walked) << table << " " << code;
        EXPECT_EQ(Select(table, column, {{"社員コード", code}}, 0), fast);
        // The same rows picked for reading their values one by one.
        const PcaColumn resolved = FindPcaColumn(table, column);
        Values byRow;
        for (const std::uint32_t row : m_reader.SelectRowsByFirstKey(resolved, code)) {
            byRow.emplace_back(m_reader.RowValue(resolved, row));
        }
        EXPECT_EQ(byRow, fast) << table << " " << code;
        return fast;
    }

    TempDir m_dir;
    platform::MessageLog m_port;
    CPCAKyuuyo m_reader{m_port};
};

TEST_F(ReaderQuery, GetValueMissesGiveTheEmptyText) {
    Load({"[10101]", "0001,株式会社サンプル", "[10301]", "001,総務部", "[10601]",
          "A1,001,山田,,ヤマダ", "[10702]", "A1,01,20140125,300000"});
    struct Case {
        const char* name;
        int kind;
        const char* table;
        std::initializer_list<std::string_view> keys;
        const char* column;
        const char* expected;
    };
    const Case cases[] = {
        {"by name", kLookupName, "10601", {"A1"}, "氏名（姓）", "山田"},
        {"by position", kLookupNumber, "10601", {"A1"}, "3", "山田"},
        {"by alias: the last column", kLookupAlias, "10601", {"A1"}, "", ""},
        {"keyless table", kLookupName, "10101", {}, "会社名", "株式会社サンプル"},
        {"department", kLookupName, "10301", {"001"}, "部門名", "総務部"},
        {"written as empty", kLookupName, "10601", {"A1"}, "氏名（名）", ""},
        {"never reached", kLookupName, "10601", {"A1"}, "生年月日", ""},
        {"not a column of the table", kLookupName, "10601", {"A1"}, "部門名", ""},
        {"no such row", kLookupName, "10601", {"Z9"}, "氏名（姓）", ""},
        {"empty key", kLookupName, "10601", {""}, "氏名（姓）", ""},
        {"01 is not 1", kLookupName, "10702", {"A1", "1"}, "基本給", ""},
        {"01 as written", kLookupName, "10702", {"A1", "01"}, "基本給", "300000"},
        {"empty second key", kLookupName, "10702", {"A1", ""}, "基本給", ""},
        {"too few keys", kLookupName, "10702", {"A1"}, "基本給", ""},
        {"too many keys", kLookupName, "10601", {"A1", "x"}, "氏名（姓）", ""},
        {"a key for a keyless table", kLookupName, "10101", {"0001"}, "会社名", ""},
        {"unknown table", kLookupName, "10602", {"A1"}, "氏名（姓）", ""},
        {"unknown lookup kind", 3, "10601", {"A1"}, "氏名（姓）", ""},
        {"position 0", kLookupNumber, "10601", {"A1"}, "0", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(m_reader.GetValue(c.kind, c.table, c.keys, c.column), c.expected) << c.name;
    }
    EXPECT_TRUE(m_port.messages.empty());
}

TEST_F(ReaderQuery, SelectOneEmployeesRowsInFileOrder) {
    // Twelve monthly payments of A1 interleaved with those of B2; C3 has none.
    std::vector<std::string> lines = {"[10601]", "A1", "B2", "C3", "[10701]"};
    Values expectedA;
    Values expectedB;
    for (int month = 1; month <= 12; ++month) {
        lines.push_back("A1," + std::to_string(month) + ",2014" + std::to_string(month));
        expectedA.push_back(std::to_string(month));
        if (month % 3 == 0) {
            lines.push_back("B2," + std::to_string(13 - month));
            expectedB.push_back(std::to_string(13 - month));
        }
    }
    lines.push_back("A1,5,merged");  // a known key keeps its place
    const std::string path = m_dir.Write("monthly.csv", [&] {
        std::string content;
        for (const std::string& line : lines) content += line + "\r\n";
        return content;
    }());
    ASSERT_TRUE(m_reader.ReadDataFiles({path}, 1));

    EXPECT_EQ(ByEmployee("10701", "支給回", "A1"), expectedA);
    EXPECT_EQ(ByEmployee("10701", "支給回", "B2"), expectedB);
    EXPECT_TRUE(ByEmployee("10701", "支給回", "C3").empty());
    EXPECT_TRUE(ByEmployee("10701", "支給回", "").empty());
    EXPECT_EQ(ByEmployee("10701", "支給日", "A1")[4], "merged");
    EXPECT_EQ(m_reader.GetValue(kLookupName, "10701", {"A1", "5"}, "支給日"), "merged");
    // One-key table: at most one row per employee.
    EXPECT_EQ(ByEmployee("10601", "社員コード", "B2"), (Values{"B2"}));
    EXPECT_TRUE(ByEmployee("10601", "社員コード", "Z9").empty());
    // A keyless table.
    EXPECT_TRUE(ByEmployee("10101", "会社名", "A1").empty());
    EXPECT_TRUE(m_port.messages.empty());
}

TEST_F(ReaderQuery, SelectConditionsAllOrAny) {
    Load({"[10616]", "A1,01,山田,花子,妻", "B2,01,佐藤,一郎,子", "A1,02,山田,次郎,子",
          "C3,01,鈴木,,子"});
    struct Case {
        const char* name;
        std::vector<ROW_ITEM> conditions;
        unsigned char matchAll;
        Values expected;
    };
    const Case cases[] = {
        {"no condition, all", {}, 1, {"A1@01", "B2@01", "A1@02", "C3@01"}},
        {"no condition, any", {}, 0, {}},
        {"two conditions, all", {{"社員コード", "A1"}, {"続柄", "子"}}, 1, {"A1@02"}},
        {"two conditions, any",
         {{"社員コード", "A1"}, {"続柄", "子"}},
         0,
         {"A1@01", "B2@01", "A1@02", "C3@01"}},
        {"two employees, any", {{"社員コード", "C3"}, {"社員コード", "B2"}}, 2, {"B2@01", "C3@01"}},
        {"second key", {{"扶養親族番号", "01"}}, 1, {"A1@01", "B2@01", "C3@01"}},
        {"unknown column never holds, all", {{"社員コード", "A1"}, {"部門コード", "A1"}}, 1, {}},
        {"unknown column never holds, any",
         {{"部門コード", "A1"}, {"社員コード", "A1"}},
         0,
         {"A1@01", "A1@02"}},
        {"empty value", {{"扶養親族氏名（名）", ""}}, 1, {"C3@01"}},
    };
    for (const Case& c : cases) {
        const Values first = Select("10616", "社員コード", c.conditions, c.matchAll);
        const Values second = Select("10616", "扶養親族番号", c.conditions, c.matchAll);
        ASSERT_EQ(first.size(), second.size()) << c.name;
        Values keys;
        for (std::size_t i = 0; i < first.size(); ++i) keys.push_back(first[i] + "@" + second[i]);
        EXPECT_EQ(keys, c.expected) << c.name;
    }
    EXPECT_TRUE(m_port.messages.empty());
}

TEST_F(ReaderQuery, SelectUnknownResultColumnShowsItsName) {
    Load({"[10701]", "A1,1"});
    EXPECT_TRUE(Select("10701", "支給会", {{"社員コード", "A1"}}, 1).empty());
    ASSERT_EQ(m_port.messages.size(), 1u);
    EXPECT_EQ(m_port.messages[0].text, "存在しないカラム名が設定されています。\n[支給会]");
    EXPECT_EQ(m_port.messages[0].style, MessageStyle::Warning);
    EXPECT_TRUE(Select("99999", "支給回", {}, 1).empty());  // nobody asks; nothing happens
    EXPECT_EQ(m_port.messages.size(), 1u);
}

TEST_F(ReaderQuery, SelectTheFirstKeyOfTable10804FindsNothing) {
    // Its first column is named "社員コート"; a condition on "社員コード" never holds.
    Load({"[10804]", "A1,20140101"});
    EXPECT_TRUE(Select("10804", "控除の種類1", {{"社員コード", "A1"}}, 1).empty());
    EXPECT_EQ(Select("10804", "住宅借入金等1回目 居住開始年月日", {{"社員コート", "A1"}}, 1),
              (Values{"20140101"}));
}

TEST_F(ReaderQuery, KeysJoinedWithAtSignMatchAcrossSplits) {
    // "a@b","c" and "a","b@c" both have the key a@b@c: the second line merges
    // into the first row, whose first value becomes "a".
    Load({"[10616]", "a@b,c,first", "x,1", "a,b@c,second", "a,z"});
    EXPECT_EQ(m_reader.RowCount("10616"), 3u);
    EXPECT_EQ(ByEmployee("10616", "扶養親族氏名（姓）", "a"), (Values{"second", ""}));
    EXPECT_TRUE(ByEmployee("10616", "扶養親族氏名（姓）", "a@b").empty());
    EXPECT_EQ(m_reader.GetValue(kLookupName, "10616", {"a@b", "c"}, "扶養親族氏名（姓）"),
              "second");
    EXPECT_EQ(m_reader.GetValue(kLookupName, "10616", {"a", "b@c"}, "扶養親族番号"), "b@c");
    // The row found for reading several values reads what each lookup reads.
    const PcaColumn name = FindPcaColumn("10616", "扶養親族氏名（姓）");
    const auto same = [&](std::string_view code, std::string_view number) {
        SCOPED_TRACE(std::string(code) + "," + std::string(number));
        EXPECT_EQ(m_reader.RowValue(name, m_reader.FindRowOf(name, {code, number})),
                  m_reader.GetValue(name, {code, number}));
    };
    for (const auto& [code, number] :
         std::vector<std::pair<std::string_view, std::string_view>>{{"a@b", "c"},
                                                                    {"a", "b@c"},
                                                                    {"x", "1"},
                                                                    {"a", "z"},
                                                                    {"a", ""},
                                                                    {"", "1"},
                                                                    {"q", "1"}}) {
        same(code, number);
    }
    EXPECT_EQ(m_reader.RowValue(name, m_reader.FindRowOf(name, {"x"})), "");
    EXPECT_EQ(m_reader.FindRowOf(name, {"x", "1"}), 1u);
}

TEST_F(ReaderQuery, ResultsStayValidAcrossGetValue) {
    Load({"[10701]", "A1,1", "A1,2", "[10702]", "A1,1,d,100", "A1,2,d,200"});
    const auto& payments = m_reader.Select([] {
        PCASELECT request;
        request.strTable = "10701";
        request.strColumn = "支給回";
        request.aConditions = {{"社員コード", "A1"}};
        request.bMatchAll = 1;
        return request;
    }());
    Values amounts;
    for (const std::string_view payment : payments) {
        amounts.emplace_back(m_reader.GetValue(kLookupName, "10702", {"A1", payment}, "基本給"));
    }
    EXPECT_EQ(amounts, (Values{"100", "200"}));
}

}  // namespace
}  // namespace kw39
