// Employee basic information.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pca_fixture.h"

namespace kw39::test {
namespace {

struct Expect {
    std::string label;
    std::string value;
};

struct Case {
    const char* name;
    std::vector<PcaRow> rows;
    std::vector<Expect> expects;
};

// Loads the rows, converts, and checks the values of employee E1.
void RunCases(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PcaExport data;
        data.Add(c.rows);
        LoadedEngine loaded(data);
        ASSERT_TRUE(loaded.ConvertAll());
        for (std::size_t i = 0; i < c.expects.size(); ++i) {
            EXPECT_EQ(loaded.Value("E1", c.expects[i].label), c.expects[i].value)
                << "expectation " << i;
        }
        EXPECT_TRUE(loaded.log.messages.empty());
    }
}

TEST(ConvertBasicTest, DepartmentCodeLosesHyphensButTheMasterIsReadWithThem) {
    RunCases({
        {"hyphenated",
         {{"10301", {{"部門コード", "01-02-03"}, {"部門名", "営業部"}}},
          {"10301", {{"部門コード", "010203"}, {"部門名", "別の部門"}}},
          {"10601", {{"社員コード", "E1"}, {"部門コード", "01-02-03"}}}},
         {{"所属コード", "010203"}, {"所属名称", "営業部"}}},
        {"plain",
         {{"10301", {{"部門コード", "010203"}, {"部門名", "別の部門"}}},
          {"10601", {{"社員コード", "E1"}, {"部門コード", "010203"}}}},
         {{"所属コード", "010203"}, {"所属名称", "別の部門"}}},
        {"no master row",
         {{"10601", {{"社員コード", "E1"}, {"部門コード", "9-9"}}}},
         {{"所属コード", "99"}, {"所属名称", ""}}},
        {"no department",
         {{"10301", {{"部門コード", ""}, {"部門名", "空の部門"}}},
          {"10601", {{"社員コード", "E1"}}}},
         {{"所属コード", ""}, {"所属名称", ""}}},
    });
}

TEST(ConvertBasicTest, NameReadingAndPostalCode) {
    RunCases({
        {"blanks removed, full-width blank kept, no trailing separator",
         {{"10601",
           {{"社員コード", "E1"},
            {"氏名（姓）", " 田 中 "},
            {"氏名（名）", ""},
            {"フリガナ（姓）", "ﾀﾅｶ"},
            {"フリガナ（名）", "ﾀ ﾛｳ"},
            {"郵便番号", "1234567"}}}},
         {{"社員 フリガナ", "ﾀﾅｶ ﾀﾛｳ"}, {"郵便番号(前)", ""}, {"郵便番号(後)", ""}}},
        {"postal code halves",
         {{"10601", {{"社員コード", "E1"}, {"フリガナ（名）", "ﾀﾛｳ"}, {"郵便番号", "123-4567"}}}},
         {{"社員 フリガナ", "ﾀﾛｳ"}, {"郵便番号(前)", "123"}, {"郵便番号(後)", "4567"}}},
    });

    PcaExport data;
    data.Add("10601", {{"社員コード", "E1"}, {"氏名（姓）", " 田 中 "}, {"氏名（名）", "太　郎"}});
    data.Add("10601", {{"社員コード", "E2"}, {"氏名（姓）", ""}, {"氏名（名）", "花子"}});
    data.Add("10601", {{"社員コード", "E3"}, {"氏名（姓）", "田中"}, {"氏名（名）", " "}});
    LoadedEngine loaded(data);
    ASSERT_TRUE(loaded.ConvertAll());
    EXPECT_EQ(loaded.Syain("E1").strName, "田中 太　郎");
    EXPECT_EQ(loaded.Syain("E2").strName, "花子");
    EXPECT_EQ(loaded.Syain("E3").strName, "田中");
}

TEST(ConvertBasicTest, PositionAndPayeeMasters) {
    RunCases({
        {"position name",
         {{"10103", {{"役職コード", "010"}, {"役職名", "部長"}}},
          {"10601", {{"社員コード", "E1"}, {"役職コード", "010"}}}},
         {{"役職", "部長"}}},
        {"position unused",
         {{"10103", {{"役職コード", "020"}, {"役職名", "未使用"}}},
          {"10601", {{"社員コード", "E1"}, {"役職コード", "020"}}}},
         {{"役職", ""}}},
        {"payee from the summary-table code, not the payee code",
         {{"10501", {{"市区町村コード", "131016"}, {"住民税納付先役所名", "千代田区"}}},
          {"10501", {{"市区町村コード", "131024"}, {"住民税納付先役所名", "中央区"}}},
          {"10601", {{"社員コード", "E1"}}},
          {"10611",
           {{"社員コード", "E1"},
            {"住民税納付先コード", "131016"},
            {"総括表提出先コード", "131024"}}}},
         {{"納付先(市町村)コード", "131024"}, {"納付先(市町村)名称", "中央区"}}},
        {"999999 blanks the code but its name is looked up",
         {{"10501", {{"市区町村コード", "999999"}, {"住民税納付先役所名", "その他"}}},
          {"10601", {{"社員コード", "E1"}}},
          {"10611", {{"社員コード", "E1"}, {"総括表提出先コード", "999999"}}}},
         {{"納付先(市町村)コード", ""}, {"納付先(市町村)名称", "その他"}}},
        {"payee name unused",
         {{"10501", {{"市区町村コード", "131016"}, {"住民税納付先役所名", "未使用"}}},
          {"10601", {{"社員コード", "E1"}}},
          {"10611", {{"社員コード", "E1"}, {"総括表提出先コード", "131016"}}}},
         {{"納付先(市町村)コード", "131016"}, {"納付先(市町村)名称", ""}}},
    });
}

TEST(ConvertBasicTest, StatusRule) {
    struct Status {
        const char* working;  // 就労状況
        const char* death;    // 本人 死亡退職
        const char* genkyou;
    };
    const Status statuses[] = {
        {"1", "1", "1"},    {"2", "", "4"}, {"3", "", "2"}, {"3", "0", "2"}, {"3", "1", "3"},
        {"3", "2", "退職"}, {"4", "1", ""}, {"", "", ""},   {"1", "x", "1"},
    };
    std::vector<Case> cases;
    for (const Status& s : statuses) {
        cases.push_back({s.genkyou,
                         {{"10601", {{"社員コード", "E1"}, {"就労状況", s.working}}},
                          {"10603", {{"社員コード", "E1"}, {"本人 死亡退職", s.death}}}},
                         {{"現況", s.genkyou}}});
    }
    RunCases(cases);
}

TEST(ConvertBasicTest, DisabilityAndWidowRules) {
    struct Own {
        const char* disability;
        const char* widow;
        const char* syougaisya;
        const char* kafu;
        const char* tokubetu;
    };
    const Own owns[] = {
        {"0", "0", "0", "0", "0"}, {"1", "1", "1", "1", "0"}, {"2", "2", "2", "0", "1"},
        {"3", "3", "0", "", ""},   {"", "", "0", "", ""},     {"1 ", "10", "0", "", ""},
    };
    std::vector<Case> cases;
    for (const Own& o : owns) {
        cases.push_back(
            {o.widow,
             {{"10601", {{"社員コード", "E1"}}},
              {"10603",
               {{"社員コード", "E1"},
                {"本人 障害者区分", o.disability},
                {"本人 寡婦（夫）等区分", o.widow}}}},
             {{"障害者区分", o.syougaisya}, {"寡婦(寡夫)", o.kafu}, {"特別寡婦", o.tokubetu}}});
    }
    RunCases(cases);
}

}  // namespace
}  // namespace kw39::test
