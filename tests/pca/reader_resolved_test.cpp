// Lookups by columns resolved once, and the shortcuts behind the lookups that
// the conversion repeats (the last row found, the row after it, the groups of
// a table built at its first selection): every answer must be the one that a
// lookup by name gives, in any order of questions and of loads.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
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

TEST(FindPcaColumn, ResolvesAsTheCatalogueDoes) {
    struct Case {
        const char* table;
        const char* column;
        bool tableKnown;
    };
    const Case cases[] = {
        {"10601", "社員コード", true}, {"10702", "課税合計", true},
        {"10702", "所得税", true},     {"10804", "社員コート", true},
        {"10601", "部門名", true},  // not a column of 10601
        {"10601", "", true},           {"99999", "社員コード", false},
        {"1060", "社員コード", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.table) + " " + c.column);
        const PcaColumn column = FindPcaColumn(c.table, c.column);
        EXPECT_EQ(column.nTable, PcaTableIndex(c.table));
        if (!c.tableKnown) {
            EXPECT_EQ(column.nTable, -1);
            EXPECT_EQ(column.nColumn, -1);
            continue;
        }
        EXPECT_EQ(column.nColumn, FindPcaTable(c.table)->FindColumn(kLookupName, c.column));
    }
}

class ReaderResolved : public ::testing::Test {
  protected:
    void Load(const std::string& name, std::initializer_list<std::string> lines) {
        ASSERT_TRUE(m_reader.ReadDataFiles({WritePcaFile(m_dir, name, lines)}, 1));
    }

    Values ByEmployee(const std::string& table, const std::string& code) {
        PCASELECT request;
        request.strTable = table;
        request.strColumn = "扶養親族氏名（姓）";
        request.aConditions = {{"社員コード", code}};
        request.bMatchAll = 1;
        const auto& result = m_reader.Select(request);
        return Values(result.begin(), result.end());
    }

    // Asks every question by the resolved column and by name and expects the
    // same answer.
    void ExpectSameAnswers(const std::vector<std::vector<std::string>>& questions) {
        for (const auto& q : questions) {
            const PcaColumn column = FindPcaColumn(q[0], q[1]);
            std::vector<std::string_view> keys(q.begin() + 2, q.end());
            std::string_view resolved;
            std::string_view byName;
            switch (keys.size()) {
                case 1:
                    resolved = m_reader.GetValue(column, {keys[0]});
                    byName = m_reader.GetValue(kLookupName, q[0], {keys[0]}, q[1]);
                    break;
                case 2:
                    resolved = m_reader.GetValue(column, {keys[0], keys[1]});
                    byName = m_reader.GetValue(kLookupName, q[0], {keys[0], keys[1]}, q[1]);
                    break;
                default:
                    resolved = m_reader.GetValue(column, {});
                    byName = m_reader.GetValue(kLookupName, q[0], {}, q[1]);
            }
            EXPECT_EQ(resolved, byName) << q[0] << " " << q[1] << " " << keys.size();
            answers.emplace_back(resolved);
        }
    }

    TempDir m_dir;
    platform::MessageLog m_port;
    CPCAKyuuyo m_reader{m_port};
    Values answers;
};

TEST_F(ReaderResolved, AnswersMatchTheLookupByNameInAnyOrder) {
    Load("data.csv",
         {"[10101]", "0001,会社", "[10601]", "A1,001,山田", "B2,002,佐藤", "C3,003,鈴木", "[10616]",
          "A1,1,花子", "A1,0,妻", "B2,1,一郎", "[10702]", "A1,1,20140125,100", "A1,2,20140225,200",
          "B2,1,20140125,300", "A1,01,20140125,999"});
    std::vector<std::vector<std::string>> questions;
    for (const char* code : {"A1", "B2", "C3", "D4", ""}) {
        questions.push_back({"10601", "氏名（姓）", code});
        questions.push_back({"10601", "部門コード", code});
        questions.push_back({"10601", "部門名", code});  // no such column
        for (const char* number : {"0", "1", "2", "01", ""}) {
            questions.push_back({"10616", "扶養親族氏名（姓）", code, number});
            questions.push_back({"10702", "基本給", code, number});
        }
    }
    questions.push_back({"10101", "会社名"});
    questions.push_back({"10601", "氏名（姓）", "A1", "1"});  // too many keys
    questions.push_back({"10702", "基本給", "A1"});           // too few
    questions.push_back({"99999", "基本給", "A1"});

    // In file order, backwards, each question twice in a row, and shuffled.
    ExpectSameAnswers(questions);
    std::vector<std::vector<std::string>> backwards(questions.rbegin(), questions.rend());
    ExpectSameAnswers(backwards);
    std::vector<std::vector<std::string>> twice;
    for (const auto& q : questions) {
        twice.push_back(q);
        twice.push_back(q);
    }
    ExpectSameAnswers(twice);
    std::mt19937 random(7);
    for (int round = 0; round < 5; ++round) {
        std::shuffle(questions.begin(), questions.end(), random);
        ExpectSameAnswers(questions);
    }
    // The answers were not all empty.
    EXPECT_NE(std::count(answers.begin(), answers.end(), "200"), 0);
    EXPECT_NE(std::count(answers.begin(), answers.end(), "999"), 0);
    EXPECT_NE(std::count(answers.begin(), answers.end(), "会社"), 0);
}

TEST_F(ReaderResolved, SelectionByTheFirstKeyAnswersAsSelect) {
    Load("data.csv", {"[10000]", "0001,会社", "[10601]", "A1,001", "B2,002", ",003", "[10616]",
                      "A1,2,二郎", "B2,1,花子", "A1,1,一郎", ",1,空", "A1,01,零一"});
    struct Case {
        const char* table;
        const char* column;
    };
    for (const Case c : {Case{"10616", "扶養親族氏名（姓）"}, Case{"10616", "扶養親族番号"},
                         Case{"10601", "部門コード"}}) {
        for (const char* code : {"A1", "B2", "", "C3", "A"}) {
            SCOPED_TRACE(std::string(c.table) + " " + c.column + " " + code);
            PCASELECT request;
            request.strTable = c.table;
            request.strColumn = c.column;
            request.aConditions = {{"社員コード", code}};
            request.bMatchAll = 1;
            const auto& selected = m_reader.Select(request);
            const Values expected(selected.begin(), selected.end());
            const auto& byKey = m_reader.SelectByFirstKey(FindPcaColumn(c.table, c.column), code);
            EXPECT_EQ(Values(byKey.begin(), byKey.end()), expected);
        }
    }
    EXPECT_EQ(m_reader.SelectByFirstKey(FindPcaColumn("10616", "扶養親族番号"), "A1").size(), 3u);
    // No key column, or no such column: nothing, and no message.
    EXPECT_TRUE(m_reader.SelectByFirstKey(FindPcaColumn("10000", "会社名"), "0001").empty());
    EXPECT_TRUE(m_reader.SelectByFirstKey(FindPcaColumn("10616", "部門名"), "A1").empty());
    EXPECT_TRUE(m_port.messages.empty());
}

TEST_F(ReaderResolved, KeysWithAtSignsAreTheKeysTheyJoinTo) {
    Load("data.csv", {"[10616]", "a@b,c,first", "a,b,second", "a,b@c,third"});
    const PcaColumn name = FindPcaColumn("10616", "扶養親族氏名（姓）");
    // "a","b@c" merged into the row of "a@b","c": both ways of asking find it,
    // one after the other, and "a","b" is another row.
    EXPECT_EQ(m_reader.GetValue(name, {"a@b", "c"}), "third");
    EXPECT_EQ(m_reader.GetValue(name, {"a", "b@c"}), "third");
    EXPECT_EQ(m_reader.GetValue(name, {"a", "b"}), "second");
    EXPECT_EQ(m_reader.GetValue(name, {"a", "b@c"}), "third");
    EXPECT_EQ(m_reader.GetValue(name, {"a@b@c", ""}), "");
    EXPECT_EQ(m_reader.GetValue(name, {"a", "b", "c"}), "");
}

TEST_F(ReaderResolved, LaterLoadsAreSeenByLookupsAndSelections) {
    Load("first.csv", {"[10601]", "A1,001", "[10616]", "A1,1,一郎", "B2@1,z,二郎", "A1,2,三郎"});
    const PcaColumn department = FindPcaColumn("10601", "部門コード");
    EXPECT_EQ(m_reader.GetValue(department, {"B2"}), "");  // no row yet
    EXPECT_EQ(ByEmployee("10616", "A1"), (Values{"一郎", "三郎"}));
    EXPECT_EQ(ByEmployee("10616", "B2@1"), (Values{"二郎"}));
    EXPECT_TRUE(ByEmployee("10616", "B2").empty());

    // New rows after the first selection, and a line with the key of the row
    // "B2@1","z" (B2@1@z) whose first value is "B2": that row moves to B2.
    Load("second.csv",
         {"[10601]", "B2,002", "[10616]", "B2,2,四郎", "A1,3,五郎", "C3,1,六郎", "B2,1@z,七郎"});
    EXPECT_EQ(m_reader.GetValue(department, {"B2"}), "002");
    EXPECT_EQ(m_reader.GetValue(department, {"A1"}), "001");
    EXPECT_EQ(ByEmployee("10616", "A1"), (Values{"一郎", "三郎", "五郎"}));
    EXPECT_EQ(ByEmployee("10616", "B2"), (Values{"七郎", "四郎"}));
    EXPECT_TRUE(ByEmployee("10616", "B2@1").empty());
    EXPECT_EQ(ByEmployee("10616", "C3"), (Values{"六郎"}));
    EXPECT_TRUE(ByEmployee("10616", "D4").empty());
}

}  // namespace
}  // namespace kw39
