// The conversion report: its CSV text, its counts and its file bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "platform/encoding.h"
#include "run/conversion_report.h"
#include "run/findings_collector.h"
#include "run/findings_list.h"
#include "run/report_file.h"
#include "support/test_support.h"

namespace kw39::test {
namespace {

// One company with one finding of each kind, told as the engine tells them.
void ObserveOneOfEach(ConversionObserver& report) {
    // Loading comes first; the line is cut before its 41st byte, which is the
    // second byte of "タ".
    report.Noted(QuoteMismatch{"in/KOJINQ.CSV", 12,
                               "10\"03,002-010,三田村 翔,ミタムラ ショウタ,19900101",
                               QuoteFault::OddCount});
    report.Noted(QuoteMismatch{"in/KAISHAQ.CSV", 2, "6317,予\"貼\"工業,PCA",
                               QuoteFault::CommaOutsideQuotes});
    report.Noted(IgnoredLines{"in/KOJINQ.CSV", "", 2, 1});
    report.Noted(IgnoredLines{"in/GETUJIQ.CSV", "10799", 3, 40});
    // Named once the employee is converted, as any finding about it.
    report.Noted(OverwrittenField{"10601",
                                  "E1",
                                  "E1",
                                  "氏名（姓）",
                                  "上書",
                                  "山田",
                                  {"in/KOJINQ.CSV", 9},
                                  {"in/KOJINQ.CSV", 3}});
    report.Noted(KeyEmpty{{"in/KOJINQ.CSV", 20}, "10616", "扶養親族番号", "E1"});
    report.Found(TableNotRead{"10501"});
    report.Found(TableNotRead{"10615"});  // in the employee file, no slot of its own
    report.Found(EmployeeUnknown{"E9", "10702", 12, {"in/GETUJIQ.CSV", 30}});
    report.ConversionStarted("テスト, \"商事\"", 2);
    report.Found(PaymentsMerged{"E1", 1, {"100", "010"}});
    report.Found(PaymentsMerged{"E1", 13, {"12", "012", "0012"}});
    report.Found(FuyosyaLeftOut{"E1", "21"});
    report.Found(KyuuyoLeftOut{"E1", "09", KyuuyoSkip::PaymentDate, "2024095"});
    report.Found(KyuuyoLeftOut{"E1", "10", KyuuyoSkip::PaymentDate, ""});
    report.EmployeeConverted("E1", "山田 花子");
    report.Found(KyuuyoLeftOut{"E2", "13", KyuuyoSkip::Month, "20241225"});
    report.Found(ShouyoLeftOut{"E2", "0"});
    report.Found(UnconvertedCode{"E2", "10601", "性別", "0", "", ""});
    report.Found(UnconvertedCode{"E2", "10616", "扶養区分", "6", "3", ""});
    report.Found(RowMissing{"E2", "10611"});
    report.Found(MasterCodeNotFound{"E2", "10301", "001-002"});
    report.Found(MasterCodeNotFound{"E2", "10501", "131016"});
    report.Found(AbnormalAmount{"E2", "10706", "課税合計", "2", "1e400"});
    report.Found(UnconvertedCode{"E2", "10603", "本人 障害者区分", "9", "", "0"});
    report.Found(PaymentRowUnmatched{"E2", "10702", "3", {"in/GETUJIQ.CSV", 7}});
    report.Found(PaymentRowUnmatched{"E2", "10706", "1", {}});
    report.Found(BonusAmountsMissing{"E2", "2"});
    report.EmployeeConverted("E2", "");
}

// What a run whose conversion was observed by `observe` returns: written
// with `employees` employees, or not written for `whyNot`.
RunResult ResultOf(const std::function<void(ConversionObserver&)>& observe, std::size_t employees,
                   const std::string& whyNot = {}) {
    FindingsCollector collector;
    observe(collector);
    RunResult result;
    result.outcome = whyNot.empty() ? CommandOutcome::Written : CommandOutcome::Failed;
    result.employees = employees;
    result.whyNot = whyNot;
    result.companyName = collector.CompanyName();
    result.findings = collector.TakeFindings();
    return result;
}

// Converted: one employee of `company`, with `code`'s row of table 10603
// missing.
void OneRowMissing(ConversionObserver& observer, const std::string& company,
                   const std::string& code, const std::string& name) {
    observer.ConversionStarted(company, 1);
    observer.Found(RowMissing{code, "10603"});
    observer.EmployeeConverted(code, name);
}

TEST(ConversionReportTest, CsvHasAHeaderTheCompanyLineAndOneLinePerFinding) {
    ConversionReport report;
    report.Add({}, ResultOf(ObserveOneOfEach, 2));
    const std::string company = "\"テスト, \"\"商事\"\"\"";  // quoted, quotes doubled
    EXPECT_EQ(
        report.Csv(),
        "会社,社員コード,氏名,種類,内容\r\n" + company + ",,,変換した社員,2 名\r\n" + company +
            ",,,引用符の不一致,\"in/KOJINQ.CSV の 12 行目「10\"\"03,002-010,三田村 翔,ミタムラ "
            "ショウ」: 引用符 (\"\") "
            "の数が奇数のため、項目の区切りが正しくない可能性があります\"\r\n" +
            company +
            ",,,引用符の不一致,\"in/KAISHAQ.CSV の 2 行目「6317,予\"\"貼\"\"工業,PCA」: 引用符 "
            "(\"\") で全体を囲んでいない項目の中のカンマを区切りとして扱っていないため、項目の"
            "区切りが正しくない可能性があります\"\r\n" +
            company +
            ",,,読み込まない行,in/KOJINQ.CSV の最初の見出し行より前のデータ行 2 行 (最初は 1 "
            "行目): どの表の行でもないため読み込んでいません\r\n" +
            company +
            ",,,読み込まない行,in/GETUJIQ.CSV の [10799] のデータ行 3 行 (最初は 40 行目): "
            "読み込む表ではないため読み込んでいません\r\n" +
            company +
            ",E1,山田 花子,上書き,表 10601、キー「E1」の 氏名（姓）: 「上書」 (in/KOJINQ.CSV の 9 "
            "行目) が「山田」 (in/KOJINQ.CSV の 3 行目) を上書きしました\r\n" +
            company +
            ",E1,山田 花子,読めない行,in/KOJINQ.CSV の 20 行目 (表 10616): "
            "扶養親族番号が空欄のため、この行の値は出力されません\r\n" +
            company +
            ",,,入力なし,"
            "「住民税納付先」のファイルが選ばれていないため、その値は出力していません\r\n" +
            company +
            ",E9,,社員情報にない社員,表 10702 の 12 行 (最初は in/GETUJIQ.CSV の 30 行目): "
            "社員情報 (10601) にない社員のため出力していません\r\n" +
            company + ",E1,山田 花子,合算,支給回「100」「010」を 1 月の給与として合算しました\r\n" +
            company +
            ",E1,山田 花子,合算,支給回「12」「012」「0012」を 12 月の 2 "
            "回目の給与として合算しました\r\n" +
            company +
            ",E1,山田 花子,扶養親族の超過,扶養親族番号「21」: 21 "
            "人目以降の扶養親族は出力していません\r\n" +
            company +
            ",E1,山田 花子,給与の除外,支給回「09」: 支給日「2024095」が 8 "
            "桁でないため計上していません\r\n" +
            company +
            ",E1,山田 花子,給与の除外,支給回「10」: 支給日 (10702) "
            "がないため計上していません\r\n" +
            company +
            ",E2,,給与の除外,支給回「13」、支給日「20241225」: 支給回が 1 から 12 "
            "の範囲外のため計上していません\r\n" +
            company + ",E2,,賞与の除外,支給回「0」: 支給回が 1 未満のため計上していません\r\n" +
            company +
            ",E2,,コードの変換なし,性別「0」 (10601) に変換先がないため空欄にしました\r\n" +
            company +
            ",E2,,コードの変換なし,扶養区分「6」 (10616、扶養親族番号「3」) "
            "に変換先がないため空欄にしました\r\n" +
            company + ",E2,,データなし,住民税 (10611) に社員の行がありません\r\n" + company +
            ",E2,,マスター未登録,部門コード「001-002」が部門マスター (10301) "
            "にありません\r\n" +
            company +
            ",E2,,マスター未登録,総括表提出先コード「131016」が住民税納付先マスター "
            "(10501) にありません\r\n" +
            company +
            ",E2,,金額の異常,課税合計「1e400」 (10706、支給回「2」): "
            "金額が扱える範囲を超えるため 0 として計上しました\r\n" +
            company +
            ",E2,,コードの変換なし,本人 障害者区分「9」 (10603) "
            "に変換先がないため「0」にしました\r\n" +
            company +
            ",E2,,給与の除外,支給回「3」 (in/GETUJIQ.CSV の 7 行目): 10701 "
            "に同じ支給回の行がないため計上していません\r\n" +
            company +
            ",E2,,賞与の除外,支給回「1」 (読み込んだ位置は不明): 10705 "
            "に同じ支給回の行がないため計上していません\r\n" +
            company +
            ",E2,,データなし,賞与 (10706) に支給回「2」の行がありません: "
            "金額のない賞与として計上しました\r\n");
}

TEST(ConversionReportTest, CountsPerCompanyAndForAll) {
    ConversionReport report;
    report.Add("a", ResultOf(ObserveOneOfEach, 2));
    report.Add("b", ResultOf(
                        [](ConversionObserver& observer) {
                            OneRowMissing(observer, "B社", "X", "x");
                            observer.Found(RowMissing{"X", "10801"});
                        },
                        1));

    EXPECT_EQ(ConversionReport::Count(report.Companies()[0]),
              (FindingCounts{1, 4, 2, 3, 2, 2, 2, 1, 1, 1, 2, 1, 1, 2}));
    EXPECT_EQ(ConversionReport::Count(report.Companies()[1]),
              (FindingCounts{0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    // The later kinds show only when they occur.
    EXPECT_EQ(
        ConversionReport::CountLine(report.CountAll()),
        "報告: 27 件 (扶養親族の超過 1, 給与の除外 4, 賞与の除外 2, "
        "コードの変換なし 3, データなし 4, マスター未登録 2, 引用符の不一致 2, 金額の異常 1, "
        "入力なし 1, 社員情報にない社員 1, 読み込まない行 2, 上書き 1, 読めない行 1, 合算 2)");
    EXPECT_EQ(ConversionReport::CountLine(FindingCounts{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3}),
              "報告: 3 件 (扶養親族の超過 0, 給与の除外 0, 賞与の除外 0, "
              "コードの変換なし 0, データなし 0, マスター未登録 0, 引用符の不一致 0, 金額の異常 0, "
              "合算 3)");
    EXPECT_EQ(
        ConversionReport::CountLine(FindingCounts{}),
        "報告: 0 件 (扶養親族の超過 0, 給与の除外 0, 賞与の除外 0, "
        "コードの変換なし 0, データなし 0, マスター未登録 0, 引用符の不一致 0, 金額の異常 0)");
}

// Each outcome line describes the run when the caller did.
TEST(ConversionReportTest, CompaniesOfABatchAreNamedByTheirFolders) {
    ConversionReport report;
    report.Add(
        "client-a",
        ResultOf([](ConversionObserver& o) { OneRowMissing(o, "同名商事", "1", "甲"); }, 1),
        RunDescription{"0001", "同名商事", "8 (令和8年)", "標準モード", "out/0001同名商事.XML"});
    // Its company file could not be read: no code, no name.
    report.Add(
        "client-b",
        ResultOf([](ConversionObserver&) {}, 0, "社員情報ファイルが正しくありません。\n\n続きの行"),
        RunDescription{"", "", "8 (令和8年)", "簡易モード", "out/b.XML"});
    report.Add("client-c", ResultOf(
                               [](ConversionObserver& o) {
                                   o.ConversionStarted("同名商事", 1);
                                   o.EmployeeConverted("1", "乙");
                               },
                               1, "ファイルの書き込みに失敗しました。\nout/x.XML"));
    EXPECT_EQ(report.Csv(),
              "会社,社員コード,氏名,種類,内容\r\n"
              "client-a,,,変換した社員,\"1 名 (会社 0001 同名商事, 申告年度 8 (令和8年), "
              "標準モード, 出力先 out/0001同名商事.XML)\"\r\n"
              "client-a,1,甲,データなし,税 (10603) に社員の行がありません\r\n"
              "client-b,,,変換していません,\"社員情報ファイルが正しくありません。 続きの行 "
              "(申告年度 8 (令和8年), 簡易モード, 出力先 out/b.XML)\"\r\n"
              "client-c,,,変換していません,ファイルの書き込みに失敗しました。 out/x.XML\r\n");
}

// A single run names its company by the export; a run that failed after the
// load began still knows the name, and so does one that stopped at its checks
// or was cancelled once its company file named the company.
TEST(ConversionReportTest, ARunThatWasNotConvertedNamesTheCompanyItRead) {
    const auto nothing = [](ConversionObserver&) {};
    ConversionReport report;
    report.Add({}, ResultOf([](ConversionObserver& o) { o.Noted(CompanyNameRead{"甲商事"}); }, 0,
                            "in/GETUJIQ.CSV の 4 行目: 項目数"));
    report.Add({}, ResultOf(nothing, 0, "社員情報ファイルが正しくありません。"));
    report.Add({}, ResultOf(nothing, 0, "正しい申告年度を指定してください。"),
               RunDescription{"0002", "乙商事", "99", "標準モード", "b.xml"});
    report.Add({}, ResultOf(nothing, 0, "中止しました。"),
               RunDescription{"0003", "丙商事", "8 (令和8年)", "標準モード", "c.xml"});
    EXPECT_EQ(report.Csv(),
              "会社,社員コード,氏名,種類,内容\r\n"
              "甲商事,,,変換していません,in/GETUJIQ.CSV の 4 行目: 項目数\r\n"
              ",,,変換していません,社員情報ファイルが正しくありません。\r\n"
              "乙商事,,,変換していません,\"正しい申告年度を指定してください。 (会社 0002 乙商事, "
              "申告年度 99, 標準モード, 出力先 b.xml)\"\r\n"
              "丙商事,,,変換していません,\"中止しました。 (会社 0003 丙商事, 申告年度 8 (令和8年), "
              "標準モード, 出力先 c.xml)\"\r\n");
}

// The desktop program's list: every finding of the report with its kind and
// text, under the count line; a run without findings says so.
TEST(ConversionReportTest, ListHasOneRowPerFindingUnderTheCounts) {
    ConversionReport report;
    report.Add({}, ResultOf(ObserveOneOfEach, 2));
    const FindingsList list = ListFindings(report);
    EXPECT_EQ(list.summary, ConversionReport::CountLine(report.CountAll()));
    ASSERT_EQ(list.rows.size(), report.Companies()[0].findings.size());
    const auto dependant =
        std::find_if(list.rows.begin(), list.rows.end(),
                     [](const FindingsRow& row) { return row[2] == "扶養親族の超過"; });
    ASSERT_NE(dependant, list.rows.end());
    EXPECT_EQ(*dependant,
              (FindingsRow{"E1", "山田 花子", "扶養親族の超過",
                           "扶養親族番号「21」: 21 人目以降の扶養親族は出力していません"}));
    // Quotes stay as written: the list is no CSV.
    EXPECT_EQ(list.rows[0][0], "");
    EXPECT_EQ(list.rows[0][2], "引用符の不一致");
    EXPECT_TRUE(list.rows[0][3].starts_with("in/KOJINQ.CSV の 12 行目「10\"03,"));

    ConversionReport clean;
    clean.Add({}, ResultOf(
                      [](ConversionObserver& o) {
                          o.ConversionStarted("A", 1);
                          o.EmployeeConverted("1", "甲");
                      },
                      1));
    const FindingsList none = ListFindings(clean);
    EXPECT_TRUE(none.rows.empty());
    EXPECT_EQ(none.summary,
              ConversionReport::CountLine(FindingCounts{}) + "\n報告する内容はありません。");
}

// A cell that a spreadsheet would run as a formula starts with an apostrophe,
// inside the quotes when it is quoted; every other cell stays as it was.
TEST(ConversionReportTest, CellsThatWouldStartAFormulaAreSetOff) {
    struct Case {
        const char* text;
        const char* cell;
    };
    const Case cases[] = {
        {"=cmd|' /C calc'!A0", "'=cmd|' /C calc'!A0"},
        {"=HYPERLINK(\"http://x\",\"y\")", "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\""},
        {"-2+3", "'-2+3"},
        {"+81 3", "'+81 3"},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"\tcalc", "'\tcalc"},
        {"\rcalc", "\"'\rcalc\""},
        {"a=b-c", "a=b-c"},
        {" =x", " =x"},
        {"＝全角", "＝全角"},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ConversionReport report;  // named by the folder of a batch
        report.Add(
            c.text,
            ResultOf([&c](ConversionObserver& o) { OneRowMissing(o, "会社", c.text, c.text); }, 1));
        const std::string cell = c.cell;
        const std::string company = *c.text ? cell : std::string("会社");
        EXPECT_EQ(report.Csv(), "会社,社員コード,氏名,種類,内容\r\n" + company +
                                    ",,,変換した社員,1 名\r\n" + company + "," + cell + "," + cell +
                                    ",データなし,税 (10603) に社員の行がありません\r\n");
    }
}

TEST(ConversionReportTest, FileIsUtf8WithAByteOrderMark) {
    ConversionReport report;
    report.Add({}, ResultOf(
                       [](ConversionObserver& o) {
                           o.ConversionStarted("ソラマメ\x81", 1);  // ends in a lone lead byte
                           o.EmployeeConverted("1", "");
                       },
                       1));
    const std::string bytes = ReportFileBytes(report);
    ASSERT_TRUE(bytes.starts_with("\xEF\xBB\xBF"));
    EXPECT_EQ(bytes.substr(3),
              *platform::Cp932ToUtf8("会社,社員コード,氏名,種類,内容\r\nソラマメ") + "?" +
                  *platform::Cp932ToUtf8(",,,変換した社員,1 名\r\n"));

    TempDir dir;
    const std::string path = dir.File("report.csv");
    WriteBytes(path, "old");
    EXPECT_FALSE(WriteReportFile(path, report, platform::RealFileSystem()));
    EXPECT_EQ(ReadBytes(path), bytes);
    EXPECT_EQ(FolderNames(dir.Path()), (std::vector<std::string>{"report.csv"}));
}

}  // namespace
}  // namespace kw39::test
