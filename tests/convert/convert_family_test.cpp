// Spouse and dependants.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pca_fixture.h"

namespace kw39::test {
namespace {

// A dependant row of E1 whose name tells its number: "扶養" + number.
PcaRow Dependant(const std::string& number) {
    return {"10616",
            {{"社員コード", "E1"},
             {"扶養親族番号", number},
             {"扶養親族氏名（姓）", "扶養"},
             {"扶養親族氏名（名）", number},
             {"続柄", "子"},
             {"生年月日", "2010010" + number.substr(number.size() - 1)},
             {"扶養区分", "1"},
             {"障害者区分", "0"}}};
}

std::vector<std::string> NamesOf(const SYAINDATA& syain) {
    std::vector<std::string> names;
    for (const CFuyosya& f : syain.pDetail->aFuyosya) names.push_back(f.m_strName);
    return names;
}

TEST(ConvertFamilyTest, DependantsAreReadUnderTheirOwnNumbers) {
    struct Case {
        const char* name;
        std::vector<std::string> numbers;  // file order
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"spouse first", {"0", "1", "2"}, {"扶養 1", "扶養 2"}},
        {"no spouse", {"1", "2"}, {"扶養 1", "扶養 2"}},
        {"spouse in the middle", {"1", "0", "2"}, {"扶養 1", "扶養 2"}},
        {"gaps", {"0", "2", "5"}, {"扶養 2", "扶養 5"}},
        {"file order kept", {"3", "1"}, {"扶養 3", "扶養 1"}},
        {"none", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PcaExport data;
        data.Add("10601", {{"社員コード", "E1"}});
        for (const std::string& number : c.numbers) data.Add({Dependant(number)});
        // Another employee's dependant is never E1's.
        data.Add("10616",
                 {{"社員コード", "E2"}, {"扶養親族番号", "3"}, {"扶養親族氏名（姓）", "他人"}});
        LoadedEngine loaded(data);
        ASSERT_TRUE(loaded.ConvertAll());
        EXPECT_EQ(NamesOf(loaded.Syain("E1")), c.expected);
    }
}

TEST(ConvertFamilyTest, AtMostTwentyDependantsAreKept) {
    PcaExport data;
    data.Add("10601", {{"社員コード", "E1"}});
    data.Add({Dependant("0")});
    for (int i = 1; i <= 25; ++i) data.Add({Dependant(std::to_string(i))});
    LoadedEngine loaded(data);
    ASSERT_TRUE(loaded.ConvertAll());
    const std::vector<std::string> names = NamesOf(loaded.Syain("E1"));
    ASSERT_EQ(names.size(), 20u);
    EXPECT_EQ(names.front(), "扶養 1");
    EXPECT_EQ(names.back(), "扶養 20");
}

TEST(ConvertFamilyTest, DependantFieldsAndMappings) {
    struct Case {
        const char* fuyoukubun;
        const char* syougaisya;
        const char* mappedKubun;
        const char* mappedSyougaisya;
    };
    const Case cases[] = {
        {"1", "1", "1", "1"}, {"4", "3", "4", "3"}, {"5", "0", "0", "0"},
        {"6", "", "", "0"},   {"", "4", "", "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fuyoukubun);
        PcaExport data;
        data.Add("10601", {{"社員コード", "E1"}});
        data.Add("10616", {{"社員コード", "E1"},
                           {"扶養親族番号", "1"},
                           {"扶養親族氏名（姓）", "山 田"},
                           {"扶養親族氏名（名）", "一 郎"},
                           {"続柄", "長男"},
                           {"生年月日", "20100401"},
                           {"扶養区分", c.fuyoukubun},
                           {"障害者区分", c.syougaisya}});
        LoadedEngine loaded(data);
        ASSERT_TRUE(loaded.ConvertAll());
        const std::vector<CFuyosya>& list = loaded.Syain("E1").pDetail->aFuyosya;
        ASSERT_EQ(list.size(), 1u);
        EXPECT_EQ(list[0].m_strName, "山田 一郎");
        EXPECT_EQ(list[0].m_strZokugara, "長男");
        EXPECT_EQ(list[0].m_strSeinengappi, "20100401");
        EXPECT_EQ(list[0].m_strFuyoukubun, c.mappedKubun);
        EXPECT_EQ(list[0].m_strSyougaisya, c.mappedSyougaisya);
    }
}

TEST(ConvertFamilyTest, SpouseNameBirthDateAndDisability) {
    struct Case {
        const char* name;
        std::vector<PcaRow> rows;
        const char* spouseName;
        const char* spouseBirth;
        const char* disability;
    };
    const std::vector<Case> cases = {
        {"spouse not first",
         {{"10616", {{"社員コード", "E1"}, {"扶養親族番号", "1"}, {"扶養親族氏名（姓）", "子"}}},
          {"10616",
           {{"社員コード", "E1"},
            {"扶養親族番号", "0"},
            {"扶養親族氏名（姓）", "山 田"},
            {"扶養親族氏名（名）", ""},
            {"生年月日", "19800202"}}},
          {"10603", {{"社員コード", "E1"}, {"配偶者 障害者区分", "3"}}}},
         "山田",
         "19800202",
         "3"},
        {"no spouse",
         {{"10616", {{"社員コード", "E1"}, {"扶養親族番号", "1"}, {"生年月日", "20000101"}}},
          {"10603", {{"社員コード", "E1"}, {"配偶者 障害者区分", "4"}}}},
         "",
         "",
         ""},
        {"spouse with both names",
         {{"10616",
           {{"社員コード", "E1"},
            {"扶養親族番号", "0"},
            {"扶養親族氏名（姓）", "山田"},
            {"扶養親族氏名（名）", "花子"}}}},
         "山田 花子",
         "",
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PcaExport data;
        data.Add("10601", {{"社員コード", "E1"}});
        data.Add(c.rows);
        LoadedEngine loaded(data);
        ASSERT_TRUE(loaded.ConvertAll());
        EXPECT_EQ(loaded.Value("E1", "配偶者の氏名"), c.spouseName);
        EXPECT_EQ(loaded.Value("E1", "配偶者の生年月日"), c.spouseBirth);
        EXPECT_EQ(loaded.Value("E1", "障害者区分(配偶者)"), c.disability);
    }
}

TEST(ConvertFamilyTest, DependantCountsBlankOnlyASingleZero) {
    PcaExport data;
    data.Add("10601", {{"社員コード", "E1"}});
    data.Add("10603", {{"社員コード", "E1"},
                       {"扶養親族人数 16歳未満", "0"},
                       {"扶養親族人数 一般扶養親族", "00"},
                       {"扶養親族人数 特定扶養親族", "2"},
                       {"扶養親族人数 老人扶養親族同居", ""},
                       {"扶養親族人数 老人扶養親族その他", "1"},
                       {"扶養親族人数 一般障害者", "3"},
                       {"扶養親族人数 特別障害者", "4"},
                       {"扶養親族人数 同居特別障害者", "5"}});
    LoadedEngine loaded(data);
    ASSERT_TRUE(loaded.ConvertAll());
    const std::pair<const char*, const char*> expected[] = {
        {"年少扶養人数", ""},          {"一般扶養人数", "00"},
        {"特定扶養人数", "2"},         {"老人扶養(同居老親等)人数", ""},
        {"老人扶養(その他)人数", "1"}, {"障害者(一般)人数", "3"},
        {"障害者(特別)人数", "4"},     {"障害者(同居特別)人数", "5"},
    };
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(loaded.Value("E1", expected[i].first), expected[i].second) << "row " << i;
    }
}

}  // namespace
}  // namespace kw39::test
