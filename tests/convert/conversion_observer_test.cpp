// What the engine tells its observer about what it converts and leaves out,
// and that being observed changes nothing in the conversion.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "export/document_sink.h"
#include "pca_fixture.h"

namespace kw39::test {
namespace {

// Every observation as one line of text, in the order it came.
class RecordingObserver : public ConversionObserver {
  public:
    void ConversionStarted(std::string_view companyName, std::size_t employees) override {
        events.push_back("started " + std::string(companyName) + " " + std::to_string(employees));
    }
    void EmployeeConverted(const std::string& code, std::string_view name) override {
        events.push_back("converted " + code + " " + std::string(name));
    }
    void Found(const ConversionFinding& finding) override {
        std::string line = std::visit([](const auto& what) { return Line(what); }, finding);
        if (!line.empty()) findings.push_back(std::move(line));
    }
    void Noted(const ReadFinding& finding) override {
        if (const auto* quotes = std::get_if<QuoteMismatch>(&finding)) {
            findings.push_back(
                std::string(quotes->fault == QuoteFault::OddCount ? "odd quotes " : "comma ") +
                std::string(quotes->path) + " " + std::to_string(quotes->lineNumber) + " " +
                std::string(quotes->line));
        }
    }

    static std::string Line(const FuyosyaLeftOut& what) {
        return "dependant " + S(what.code) + " " + S(what.number);
    }
    static std::string Line(const KyuuyoLeftOut& what) {
        return "salary " + S(what.code) + " " + S(what.number) +
               (what.why == KyuuyoSkip::Month ? " month " : " date ") + S(what.paymentDate);
    }
    static std::string Line(const ShouyoLeftOut& what) {
        return "bonus " + S(what.code) + " [" + S(what.number) + "]";
    }
    static std::string Line(const UnconvertedCode& what) {
        return "code " + S(what.code) + " " + S(what.table) + " " + S(what.column) + " [" +
               S(what.value) + "] " + S(what.dependant);
    }
    static std::string Line(const RowMissing& what) {
        return "no row " + S(what.code) + " " + S(what.table);
    }
    static std::string Line(const MasterCodeNotFound& what) {
        return "no master " + S(what.code) + " " + S(what.table) + " " + S(what.masterCode);
    }
    static std::string Line(const AbnormalAmount& what) {
        return "amount " + S(what.code) + " " + S(what.table) + " " + S(what.column) + " " +
               S(what.number) + " [" + S(what.value) + "]";
    }
    // The findings about rows of the load are not what these cases look at.
    template <typename Other>
    static std::string Line(const Other&) {
        return {};
    }
    static std::string S(std::string_view text) { return std::string(text); }

    std::vector<std::string> events;
    std::vector<std::string> findings;
};

// Values of E1 beyond its code, in the four tables every employee has a row in.
struct EmployeeValues {
    Fields basic;      // 10601
    Fields tax;        // 10603
    Fields residence;  // 10611
    Fields yearEnd;    // 10801
};

Fields WithCode(Fields fields) {
    fields.insert(fields.begin(), {"社員コード", "E1"});
    return fields;
}

// An employee E1 with rows in every table the row check looks at, so that a
// case shows only the findings it is about.
PcaExport CompleteEmployee(const EmployeeValues& values = {}) {
    Fields basic = values.basic;
    basic.insert(basic.begin(), {{"氏名（姓）", "山田"}, {"氏名（名）", "花子"}});
    PcaExport data;
    data.Add("10601", WithCode(basic));
    data.Add("10603", WithCode(values.tax));
    data.Add("10611", WithCode(values.residence));
    data.Add("10801", WithCode(values.yearEnd));
    return data;
}

void AddDependants(PcaExport& data, int count, bool spouse) {
    if (spouse) data.Add("10616", {{"社員コード", "E1"}, {"扶養親族番号", "0"}});
    for (int n = 1; n <= count; ++n) {
        data.Add("10616", {{"社員コード", "E1"}, {"扶養親族番号", std::to_string(n)}});
    }
}

void AddSalary(PcaExport& data, const std::string& number, const std::string& date) {
    data.Add("10701", {{"社員コード", "E1"}, {"支給回", number}});
    if (date != "-") {
        data.Add("10702",
                 {{"社員コード", "E1"}, {"支給回", number}, {"支給日", date}, {"課税合計", "1"}});
    }
}

TEST(ConversionObserverTest, EachKindOfFindingIsReportedWithItsValuesAsWritten) {
    struct Case {
        const char* name;
        EmployeeValues values;
        std::function<void(PcaExport&)> add;
        std::vector<std::string> findings;
    };
    const std::vector<Case> cases = {
        {"nothing left out", {}, [](PcaExport&) {}, {}},
        {"22 dependants and a spouse: the 21st and 22nd are left out",
         {},
         [](PcaExport& d) { AddDependants(d, 22, true); },
         {"dependant E1 21", "dependant E1 22"}},
        {"exactly 20 dependants lose nothing",
         {},
         [](PcaExport& d) { AddDependants(d, 20, false); },
         {}},
        {"salary payments without a proper date or month",
         {},
         [](PcaExport& d) {
             AddSalary(d, "01", "20240125");
             AddSalary(d, "09", "2024095");
             AddSalary(d, "10", "-");
             AddSalary(d, "13", "20241225");
             AddSalary(d, "00", "20241225");
         },
         {"salary E1 09 date 2024095", "salary E1 10 date ", "salary E1 13 month 20241225",
          "salary E1 00 month 20241225"}},
        {"bonus payments numbered below 1",
         {},
         [](PcaExport& d) {
             for (const char* number : {"1", "0", "", "x", "-2", "7"}) {
                 d.Add("10705", {{"社員コード", "E1"}, {"支給回", number}});
             }
         },
         {"bonus E1 [0]", "bonus E1 []", "bonus E1 [x]", "bonus E1 [-2]"}},
        {"code values without a conversion entry; empty values and codes that map to \"\" are "
         "not findings",
         {{{"性別", "0"}, {"就労状況", "4"}},
          {{"税区分", "3"},
           {"本人 寡婦（夫）等区分", "5"},
           {"配偶者 障害者区分", "4"},
           {"本人 障害者区分", "7"}},
          {},
          {{"年末調整", "2"}}},
         [](PcaExport& d) {
             d.Add("10616", {{"社員コード", "E1"}, {"扶養親族番号", "1"}, {"扶養区分", "6"}});
             d.Add("10616", {{"社員コード", "E1"}, {"扶養親族番号", "2"}, {"扶養区分", "5"}});
         },
         {"code E1 10601 性別 [0] ", "code E1 10601 就労状況 [4] ", "code E1 10801 年末調整 [2] ",
          "code E1 10603 本人 障害者区分 [7] ", "code E1 10603 本人 寡婦（夫）等区分 [5] ",
          "code E1 10603 配偶者 障害者区分 [4] ", "code E1 10616 扶養区分 [6] 1"}},
        {"master codes without a master row; 999999 and empty codes are not findings",
         {{{"部門コード", "001-002"}, {"役職コード", "9"}},
          {},
          {{"総括表提出先コード", "131016"}},
          {}},
         [](PcaExport& d) {
             d.Add("10301", {{"部門コード", "001"}, {"部門名", "本社"}});
             d.Add("10103", {{"役職コード", "1"}, {"役職名", "未使用"}});
         },
         {"no master E1 10301 001-002", "no master E1 10103 9", "no master E1 10501 131016"}},
        {"amounts that are no finite number, or that would make their sum none, count as 0",
         {},
         [](PcaExport& d) {
             // "01" and "001" are both January, so their amounts share one sum.
             for (const char* number : {"01", "001"}) {
                 d.Add("10701", {{"社員コード", "E1"}, {"支給回", number}});
                 d.Add("10702", {{"社員コード", "E1"},
                                 {"支給回", number},
                                 {"支給日", "20240125"},
                                 {"課税合計", number == std::string("01") ? "1e400" : "5"},
                                 {"社会保険合計", "1.7e308"},
                                 {"所得税", "-1e999"}});
             }
             d.Add("10705", {{"社員コード", "E1"}, {"支給回", "1"}});
             d.Add("10706", {{"社員コード", "E1"}, {"支給回", "1"}, {"所得税", "1e309"}});
         },
         {"amount E1 10702 課税合計 01 [1e400]", "amount E1 10702 所得税 01 [-1e999]",
          "amount E1 10702 社会保険合計 001 [1.7e308]", "amount E1 10702 所得税 001 [-1e999]",
          "amount E1 10706 所得税 1 [1e309]"}},
        {"known master codes, an unused position name and the no-payee code",
         {{{"部門コード", "001"}, {"役職コード", "1"}}, {}, {{"総括表提出先コード", "999999"}}, {}},
         [](PcaExport& d) {
             d.Add("10301", {{"部門コード", "001"}, {"部門名", "本社"}});
             d.Add("10103", {{"役職コード", "1"}, {"役職名", "未使用"}});
         },
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PcaExport data = CompleteEmployee(c.values);
        c.add(data);
        LoadedEngine loaded(data);
        RecordingObserver observer;
        loaded.Engine().SetObserver(&observer);
        ASSERT_TRUE(loaded.Run());
        EXPECT_EQ(observer.findings, c.findings);
        EXPECT_EQ(observer.events,
                  (std::vector<std::string>{"started テスト会社 1", "converted E1 山田 花子"}));
    }
}

TEST(ConversionObserverTest, EmployeesWithoutTaxResidenceTaxOrYearEndRows) {
    PcaExport data;
    data.Add("10601", {{"社員コード", "A"}});
    data.Add("10601", {{"社員コード", "B"}});
    data.Add("10603", {{"社員コード", "B"}});
    data.Add("10611", {{"社員コード", "A"}});
    data.Add("10801", {{"社員コード", "A"}});
    data.Add("10801", {{"社員コード", "B"}});
    LoadedEngine loaded(data);
    RecordingObserver observer;
    loaded.Engine().SetObserver(&observer);
    ASSERT_TRUE(loaded.Run());
    EXPECT_EQ(observer.findings, (std::vector<std::string>{"no row A 10603", "no row B 10611"}));
    // Each employee's findings come before the news that it is done.
    EXPECT_EQ(observer.events,
              (std::vector<std::string>{"started テスト会社 2", "converted A ", "converted B "}));
}

// A stray or unclosed quote merges the rest of its line into one field; so
// does a quote inside a field, even when the line's quotes are even. The line
// is told with its place, and loads as before.
TEST(ConversionObserverTest, LinesWhoseQuotesMergeFieldsAreToldWithTheirPlace) {
    const std::string text =
        "[10000]\r\n"
        "0001,\"テスト会社\r\n"                      // 2: unclosed, in a known table
        "[10601]\r\n"                                // 3
        "10\"03,002-010,三田村\r\n"                  // 4: a stray quote
        "1004,\"a,b\",\"喫茶\"\"こもれび\"\"\"\r\n"  // 5: quoted and doubled, even
        "1005,\"a\"b,c\r\n"                          // 6: even, one field by the rules
        "1006,a\"b\"c\"  \r\n"                       // 7: three quotes, told without the blanks
        "6317,予\"貼\"工業,PCA,10\r\n"               // 8: a quoted word inside a field
        "1100,\"ソ表,能\"商会,x\r\n"                 // 9: text after the closing quote
        "1101,\"a,\"\"b\"\"\",\"c\"\r\n"             // 10: commas and doubled quotes inside
        "1102,\"a\"\",b\"\r\n"                       // 11: even, no comma kept
        "[99999]\r\n"                                // 12: a table the reader does not know
        "x\"y\r\n";                                  // 13: not loaded, so not told
    TempDir dir;
    const std::string path = dir.Write("KOJINQ.CSV", text);
    platform::MessageLog log;
    CExchangeFromPCAToKw39 engine(log);
    RecordingObserver observer;
    engine.SetObserver(&observer);
    ASSERT_TRUE(engine.Reader().ReadDataFiles({path}, 1));
    EXPECT_EQ(observer.findings, (std::vector<std::string>{
                                     "odd quotes " + path + " 2 0001,\"テスト会社",
                                     "odd quotes " + path + " 4 10\"03,002-010,三田村",
                                     "comma " + path + " 6 1005,\"a\"b,c",
                                     "odd quotes " + path + " 7 1006,a\"b\"c\"",
                                     "comma " + path + " 8 6317,予\"貼\"工業,PCA,10",
                                     "comma " + path + " 9 1100,\"ソ表,能\"商会,x",
                                 }));
    EXPECT_EQ(engine.Reader().GetEmployeeCodes(),
              (std::vector<std::string>{"1003,002-010,三田村", "1004", "1005", "1006", "6317",
                                        "1100", "1101", "1102"}));
    EXPECT_EQ(engine.Reader().RowValue(PcaColumn{PcaTableIndex("10601"), 1}, 4),
              "予貼`工業,PCA,10");
}

TEST(ConversionObserverTest, BeingObservedChangesNothingInTheDocument) {
    PcaExport data = CompleteEmployee({{{"性別", "0"}, {"部門コード", "X"}}, {}, {}, {}});
    AddDependants(data, 23, true);
    AddSalary(data, "09", "2024095");
    AddSalary(data, "12", "20241225");
    AddSalary(data, "012", "20241226");
    data.Add("10705", {{"社員コード", "E1"}, {"支給回", "0"}});
    const auto document = [&data](bool observed) {
        std::string text;
        for (const LinkMode mode : {kModeStandard, kModeSimple}) {
            LoadedEngine loaded(data);
            RecordingObserver observer;
            if (observed) loaded.Engine().SetObserver(&observer);
            EXPECT_TRUE(loaded.Run(mode));
            EXPECT_EQ(observer.findings.empty(), !observed);
            text += ReadBytes(loaded.dir.File("out.xml"));
        }
        return text;
    };
    const std::string plain = document(false);
    EXPECT_NE(plain.find("<FUYOUSINZOKU COUNT=\"20\">"), std::string::npos);
    EXPECT_EQ(plain.find("<FUYOUSINZOKU COUNT=\"21\">"), std::string::npos);
    EXPECT_TRUE(plain == document(true));
}

}  // namespace
}  // namespace kw39::test
