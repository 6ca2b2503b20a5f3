// The conversion report: its CSV text, its counts and its file bytes.
#include <gtest/gtest.h>

#include <string>

#include "cli/report_file.h"
#include "platform/encoding.h"
#include "run/conversion_report.h"
#include "support/test_support.h"

namespace kw39::test {
namespace {

// One company with one finding of each kind, told as the engine tells them.
void ObserveOneOfEach(ConversionReport& report) {
    report.ConversionStarted("テスト, \"商事\"", 2);
    report.FuyosyaLeftOut("E1", "21");
    report.KyuuyoLeftOut("E1", "09", KyuuyoSkip::PaymentDate, "2024095");
    report.KyuuyoLeftOut("E1", "10", KyuuyoSkip::PaymentDate, "");
    report.EmployeeConverted("E1", "山田 花子");
    report.KyuuyoLeftOut("E2", "13", KyuuyoSkip::Month, "20241225");
    report.ShouyoLeftOut("E2", "0");
    report.CodeNotConverted("E2", {"10601", "性別", "0", ""});
    report.CodeNotConverted("E2", {"10616", "扶養区分", "6", "3"});
    report.RowMissing("E2", "10611");
    report.MasterCodeNotFound("E2", "10301", "001-002");
    report.MasterCodeNotFound("E2", "10501", "131016");
    report.EmployeeConverted("E2", "");
}

TEST(ConversionReportTest, CsvHasAHeaderTheCompanyLineAndOneLinePerFinding) {
    ConversionReport report;
    report.BeginCompany({});
    ObserveOneOfEach(report);
    report.EndCompany(true);
    const std::string company = "\"テスト, \"\"商事\"\"\"";  // quoted, quotes doubled
    EXPECT_EQ(
        report.Csv(),
        "会社,社員コード,氏名,種類,内容\r\n" + company + ",,,変換した社員,2 名\r\n" + company +
            ",E1,山田 花子,扶養親族の超過,扶養親族番号「21」: 21 "
            "人目以降の扶養親族は出力していません\r\n" +
            company +
            ",E1,山田 花子,給与の除外,支給回「09」: 支給日「2024095」が 8 "
            "桁でないため計上していません\r\n" +
            company +
            ",E1,山田 花子,給与の除外,支給回「10」: 支給日 (10702) "
            "がないため計上していません\r\n" +
            company +
            ",E2,,給与の除外,支給回「13」: 支給回が 1 から 12 "
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
            "(10501) にありません\r\n");
}

TEST(ConversionReportTest, CountsPerCompanyAndForAll) {
    ConversionReport report;
    report.BeginCompany("a");
    ObserveOneOfEach(report);
    report.EndCompany(true);
    report.BeginCompany("b");
    report.ConversionStarted("B社", 1);
    report.RowMissing("X", "10603");
    report.RowMissing("X", "10801");
    report.EmployeeConverted("X", "x");
    report.EndCompany(true);

    EXPECT_EQ(ConversionReport::Count(report.Companies()[0]), (FindingCounts{1, 3, 1, 2, 1, 2}));
    EXPECT_EQ(ConversionReport::Count(report.Companies()[1]), (FindingCounts{0, 0, 0, 0, 2, 0}));
    EXPECT_EQ(ConversionReport::CountLine(report.CountAll()),
              "報告: 12 件 (扶養親族の超過 1, 給与の除外 3, 賞与の除外 1, "
              "コードの変換なし 2, データなし 3, マスター未登録 2)");
    EXPECT_EQ(ConversionReport::CountLine(FindingCounts{}),
              "報告: 0 件 (扶養親族の超過 0, 給与の除外 0, 賞与の除外 0, "
              "コードの変換なし 0, データなし 0, マスター未登録 0)");
}

TEST(ConversionReportTest, CompaniesOfABatchAreNamedByTheirFolders) {
    ConversionReport report;
    report.BeginCompany("client-a");
    report.ConversionStarted("同名商事", 1);
    report.RowMissing("1", "10603");
    report.EmployeeConverted("1", "甲");
    report.EndCompany(true);
    report.BeginCompany("client-b");
    report.EndCompany(false, "社員情報ファイルが正しくありません。\n\n続きの行");
    report.BeginCompany("client-c");
    report.ConversionStarted("同名商事", 1);
    report.EmployeeConverted("1", "乙");
    report.EndCompany(false, "ファイルの書き込みに失敗しました。\nout/x.XML");
    EXPECT_EQ(report.Csv(),
              "会社,社員コード,氏名,種類,内容\r\n"
              "client-a,,,変換した社員,1 名\r\n"
              "client-a,1,甲,データなし,税 (10603) に社員の行がありません\r\n"
              "client-b,,,変換していません,社員情報ファイルが正しくありません。 続きの行\r\n"
              "client-c,,,変換していません,ファイルの書き込みに失敗しました。 out/x.XML\r\n");
}

TEST(ConversionReportTest, FileIsUtf8WithAByteOrderMark) {
    ConversionReport report;
    report.BeginCompany({});
    report.ConversionStarted("ソラマメ\x81", 1);  // ends in a lone lead byte
    report.EmployeeConverted("1", "");
    report.EndCompany(true);
    const std::string bytes = cli::ReportFileBytes(report);
    ASSERT_TRUE(bytes.starts_with("\xEF\xBB\xBF"));
    EXPECT_EQ(bytes.substr(3),
              *platform::Cp932ToUtf8("会社,社員コード,氏名,種類,内容\r\nソラマメ") + "?" +
                  *platform::Cp932ToUtf8(",,,変換した社員,1 名\r\n"));

    TempDir dir;
    const std::string path = dir.File("report.csv");
    WriteBytes(path, "old");
    cli::WriteReportFile(path, report, platform::RealFileSystem());
    EXPECT_EQ(ReadBytes(path), bytes);
    EXPECT_EQ(FolderNames(dir.Path()), (std::vector<std::string>{"report.csv"}));
}

}  // namespace
}  // namespace kw39::test
