// The conversion that writes each employee's section as soon as the employee
// is converted: the same document as converting everyone first, with the store
// holding one employee at a time.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

#include "convert/engine.h"
#include "pca_fixture.h"

namespace kw39::test {
namespace {

// Employees that differ in every group the converters fill, in an order that
// is not the order of their codes.
PcaExport SampleCompany() {
    PcaExport data("株式会社&サンプル");
    data.Add("10301", {{"部門コード", "001"}, {"部門名", "総務部"}});
    data.Add("10103", {{"役職コード", "01"}, {"役職名", "未使用"}});
    data.Add("10601", {{"社員コード", "E2"},
                       {"部門コード", "001"},
                       {"氏名（姓）", "山田"},
                       {"氏名（名）", "太郎"},
                       {"郵便番号", "100-0001"},
                       {"役職コード", "01"},
                       {"性別", "1"},
                       {"就労状況", "1"}});
    data.Add("10601", {{"社員コード", "E1"}, {"氏名（姓）", "深沢"}, {"就労状況", "3"}});
    data.Add("10601", {{"社員コード", "E3"}});
    data.Add("10603", {{"社員コード", "E2"}, {"税区分", "2"}, {"本人 障害者区分", "1"}});
    data.Add("10616", {{"社員コード", "E2"},
                       {"扶養親族番号", "0"},
                       {"扶養親族氏名（姓）", "山田"},
                       {"扶養親族氏名（名）", "花子"}});
    data.Add("10616", {{"社員コード", "E2"},
                       {"扶養親族番号", "1"},
                       {"扶養親族氏名（名）", "一郎"},
                       {"扶養区分", "1"}});
    data.Add("10616",
             {{"社員コード", "E1"}, {"扶養親族番号", "2"}, {"扶養親族氏名（姓）", "深沢"}});
    for (const char* code : {"E2", "E1"}) {
        for (int month = 1; month <= 12; ++month) {
            const std::string number = std::to_string(month);
            data.Add("10701", {{"社員コード", code}, {"支給回", number}, {"扶養親族等の数", "1"}});
        }
    }
    for (const char* code : {"E2", "E1"}) {
        for (int month = 1; month <= 12; ++month) {
            data.Add("10702", {{"社員コード", code},
                               {"支給回", std::to_string(month)},
                               {"支給日", "2026" + std::string(month < 10 ? "0" : "") +
                                              std::to_string(month) + "25"},
                               {"課税合計", std::to_string(200000 + month)},
                               {"社会保険合計", "0"},
                               {"所得税", "3000"}});
        }
    }
    data.Add("10705", {{"社員コード", "E2"}, {"支給回", "1"}});
    data.Add("10706", {{"社員コード", "E2"}, {"支給回", "1"}, {"課税合計", "500000"}});
    data.Add("10803", {{"社員コード", "E1"}, {"給与支給合計", "0"}, {"総支給合計", "12"}});
    return data;
}

// Enough employees to have their payments worked out on a second thread, with
// every finding of the payments: 13 payments of 6 in one record, amounts that
// are no number, dates and months left out, bonuses numbered 0, without their
// amounts row, or merged into the fifth.
PcaExport LargeCompany() {
    constexpr int kEmployees = 230;
    const auto code = [](int i) { return "P" + std::to_string(1000 + i); };
    PcaExport data("株式会社&サンプル");
    for (int i = 0; i < kEmployees; ++i) data.Add("10601", {{"社員コード", code(i)}});
    const auto number = [](int i, int month) {
        if (i % 6 == 1 && month == 6) return std::string("06");
        if (i % 6 == 3 && month == 12) return std::string("13");
        return std::to_string(month);
    };
    for (int i = 0; i < kEmployees; ++i) {
        for (int month = 1; month <= 12; ++month) {
            data.Add("10701", {{"社員コード", code(i)}, {"支給回", number(i, month)}});
        }
        if (i % 6 == 1) data.Add("10701", {{"社員コード", code(i)}, {"支給回", "6"}});
    }
    for (int i = 0; i < kEmployees; ++i) {
        for (int month = 1; month <= 13; ++month) {
            const std::string no = month == 13 ? "6" : number(i, month);
            const bool badDate = i % 6 == 3 && month == 4;
            data.Add("10702", {{"社員コード", code(i)},
                               {"支給回", no},
                               {"支給日", badDate ? "2026045" : "20260125"},
                               {"課税合計", i % 6 == 2 && month == 3 ? "1e400" : "1000"},
                               {"社会保険合計", std::to_string(i)},
                               {"所得税", "7"}});
        }
    }
    for (int i = 0; i < kEmployees; ++i) {
        for (const char* no : {"0", "1", "6", "7"}) {
            if (i % 6 >= 4) data.Add("10705", {{"社員コード", code(i)}, {"支給回", no}});
        }
    }
    for (int i = 0; i < kEmployees; ++i) {
        for (const char* no : {"6", "7"}) {
            if (i % 6 == 5) {
                data.Add("10706", {{"社員コード", code(i)}, {"支給回", no}, {"課税合計", "9"}});
            }
        }
    }
    return data;
}

// Tells which employees were converted, with their names, and what was found
// of their payments.
class NameRecorder : public ConversionObserver {
  public:
    void EmployeeConverted(const std::string& code, std::string_view name) override {
        converted.push_back(code + ":" + std::string(name));
    }
    void Found(const ConversionFinding& finding) override {
        std::visit(
            [this](const auto& what) {
                using Kind = std::decay_t<decltype(what)>;
                const char* kind = std::is_same_v<Kind, KyuuyoLeftOut>         ? "salary left out"
                                   : std::is_same_v<Kind, ShouyoLeftOut>       ? "bonus left out"
                                   : std::is_same_v<Kind, AbnormalAmount>      ? "amount"
                                   : std::is_same_v<Kind, BonusAmountsMissing> ? "no amounts"
                                   : std::is_same_v<Kind, PaymentsMerged>      ? "merged"
                                                                               : nullptr;
                if constexpr (requires { what.code; }) {
                    if (kind) payments.push_back(std::string(kind) + " " + std::string(what.code));
                }
            },
            finding);
    }
    std::vector<std::string> converted;
    std::vector<std::string> payments;  // kind and employee of each finding of the payments
};

// A large company's payments are worked out ahead on a second thread: the same
// document, and the same findings in the same order.
TEST(StreamedConversion, WritesTheDocumentOfTheWholeStore) {
    for (const bool large : {false, true}) {
        for (const LinkMode mode : {kModeStandard, kModeSimple}) {
            SCOPED_TRACE(testing::Message() << mode << (large ? " large" : ""));
            const PcaExport data = large ? LargeCompany() : SampleCompany();
            LoadedEngine whole(data);
            NameRecorder inTurn;
            whole.Engine().SetObserver(&inTurn);
            ASSERT_TRUE(whole.ConvertAll());
            StringSink expected;
            whole.Engine().Store().WriteDocumentTo(expected, mode, "3", "株式会社&サンプル", "8");

            LoadedEngine streamed(data);
            NameRecorder names;
            streamed.Engine().SetObserver(&names);
            const std::string output = streamed.dir.File("out.xml");
            ASSERT_TRUE(streamed.Engine().ConvertAndWriteDocument(output, mode, "3", "8"));
            EXPECT_TRUE(ReadBytes(output) == expected.text);
            EXPECT_EQ(names.payments, inTurn.payments);
            EXPECT_TRUE(streamed.log.messages.empty());
            if (large) {
                EXPECT_EQ(names.converted.size(), 230u);
                std::map<std::string, int> kinds;
                for (const std::string& p : names.payments) ++kinds[p.substr(0, p.rfind(' '))];
                // Per 6 employees: one with a salary merged, one amount that
                // is no number, one with a date and a month left out, two with
                // a bonus 0 left out, bonuses without amounts (3 and 1), the
                // fifth and later merged.
                EXPECT_EQ(kinds, (std::map<std::string, int>{{"amount", 38},
                                                             {"bonus left out", 76},
                                                             {"merged", 39 + 76},
                                                             {"no amounts", 114 + 38},
                                                             {"salary left out", 76}}));
                continue;
            }
            EXPECT_EQ(streamed.Engine().Store().FindSyain("E3"), nullptr);  // dropped once written
            EXPECT_EQ(names.converted,
                      (std::vector<std::string>{"E2:山田 太郎", "E1:深沢", "E3:"}));
        }
    }
}

TEST(StreamedConversion, WithoutEmployeesNothingIsCreated) {
    PcaExport data;
    data.Add("10603", {{"社員コード", "E1"}});
    LoadedEngine loaded(data);
    const std::string output = loaded.dir.File("out.xml");
    const std::vector<std::string> before = FolderNames(loaded.dir.Path());
    EXPECT_FALSE(loaded.Engine().ConvertAndWriteDocument(output, kModeStandard, "1", "8"));
    EXPECT_FALSE(FileExists(output));
    EXPECT_EQ(FolderNames(loaded.dir.Path()), before);
}

}  // namespace
}  // namespace kw39::test
