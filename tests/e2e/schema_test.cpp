// Every document the program writes follows the XML Schema of its mode: the
// sample company, a batch of companies, an employee with more dependants
// than the document takes. Also the report of the sample company, derived by
// hand from its files.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "program_run.h"
#include "schema_check.h"
#include "support/test_support.h"

namespace kw39 {
namespace {

using test::CountOf;
using test::Utf8Of;

// Validates and fails the test unless the document follows its schema.
void ExpectValid(const std::string& path, int mode, const std::string& scratch) {
    SCOPED_TRACE(path);
    ASSERT_TRUE(test::FileExists(path));
    const auto lint = test::ValidateWithSchema(path, mode, scratch);
    ASSERT_TRUE(lint.has_value());
    EXPECT_EQ(lint->status, 0) << lint->err;
}

test::ProgramResult RunConverter(const std::vector<std::string>& args, const std::string& scratch) {
    return test::RunProgram(KW39PCACONV_PATH, args, scratch);
}

const int kModes[] = {1, 2};

std::vector<std::string> ModeArgs(int mode) {
    return mode == 1 ? std::vector<std::string>{} : std::vector<std::string>{"--mode", "simple"};
}

// The validation can fail: documents that depart from the schema are refused.
TEST(SchemaTest, ADocumentThatDepartsFromItsSchemaIsRefused) {
    if (!test::RequireTool("xmllint", "libxml2-utils")) return;
    const std::string standard = test::ReadBytes(test::DataPath("e2e/demo-standard.xml"));
    struct Case {
        const char* name;
        std::string from;
        std::string to;
        int mode;
    };
    const std::vector<Case> cases = {
        {"standard document against the simple schema", "", "", 2},
        {"a misspelt field", "<SEIBETU>", "<SEIBETSU>", 1},
        {"a salary group numbered 14", "<KYUUYO KUBUN=\"13\">", "<KYUUYO KUBUN=\"14\">", 1},
        {"a missing total group", "            <GOUKEI>\r\n", "", 1},
        {"an unknown mode", "<MODE>NORMAL</MODE>", "<MODE>FAST</MODE>", 1},
    };
    test::TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string document = standard;
        if (!c.from.empty()) {
            const std::size_t at = document.find(c.from);
            ASSERT_NE(at, std::string::npos);
            document.replace(at, c.from.size(), c.to);
        }
        const std::string path = dir.Write("changed.xml", document);
        const auto lint = test::ValidateWithSchema(path, c.mode, dir.Path());
        ASSERT_TRUE(lint.has_value());
        EXPECT_NE(lint->status, 0) << lint->err;
    }
}

// The sample company's files with another company code in every [10000] block.
void CopySampleAs(const std::string& folder, const std::string& code) {
    std::filesystem::create_directories(folder);
    for (const char* name :
         {"KAISHAQ.CSV", "NOUFUQ.CSV", "BUMONQ.CSV", "KOJINQ.CSV", "GETUJIQ.CSV", "NENCHOUQ.CSV"}) {
        std::string bytes = test::ReadBytes(test::SourcePath(std::string("samples/demo/") + name));
        const std::string block = "[10000]\r\n0001,";
        const std::size_t at = bytes.find(block);
        if (at == std::string::npos) throw std::runtime_error("no company block in sample");
        bytes.replace(at, block.size(), "[10000]\r\n" + code + ",");
        test::WriteBytes(folder + "/" + name, bytes);
    }
}

TEST(SchemaTest, EveryDocumentOfABatchFollowsItsSchema) {
    if (!test::RequireTool("xmllint", "libxml2-utils")) return;
    for (const int mode : kModes) {
        SCOPED_TRACE(mode == 1 ? "standard" : "simple");
        test::TempDir dir;
        const std::string root = dir.File("clients");
        const std::string out = dir.File("xml");
        std::filesystem::create_directories(out);
        CopySampleAs(root + "/first", "0001");
        CopySampleAs(root + "/second", "0002");
        std::vector<std::string> args = {"--batch", root, "--output-dir", out,
                                         "--year",  "8",  "--yes"};
        const std::vector<std::string> modeArgs = ModeArgs(mode);
        args.insert(args.end(), modeArgs.begin(), modeArgs.end());
        const test::ProgramResult run = RunConverter(args, dir.Path());
        ASSERT_EQ(run.status, 0) << run.err;
        for (const char* code : {"0001", "0002"}) {
            ExpectValid(out + "/" + code + Utf8Of("株式会社ソラマメ&ハッカ商会.XML"), mode,
                        dir.Path());
        }
    }
}

// One employee with a spouse and 25 dependants, and a name that needs escaping.
void WriteManyDependants(const std::string& folder) {
    std::filesystem::create_directories(folder);
    const std::string company =
        "[10000]\r\n0009,大家族<&>商店,給与データ,PCA給与X,1,0,,20260105,1\r\n";
    test::WriteBytes(folder + "/KAISHAQ.CSV", company + "[10101]\r\n0009,大家族商店\r\n");
    std::string employees = company +
                            "[10601]\r\nE001,,\"山田 \"\"大\"\" <&>\",太郎\r\n"
                            "[10603]\r\nE001,1\r\n[10611]\r\nE001\r\n[10801]\r\nE001,1\r\n"
                            "[10616]\r\nE001,0,山田,花子,妻,19800101,1,0,0\r\n";
    for (int n = 1; n <= 25; ++n) {
        employees += "E001," + std::to_string(n) + ",山田,子" + std::to_string(n) +
                     "&,子,20100101,0,1,0\r\n";
    }
    test::WriteBytes(folder + "/KOJINQ.CSV", employees);
}

TEST(SchemaTest, AnEmployeeWithMoreThanTwentyDependants) {
    for (const int mode : kModes) {
        SCOPED_TRACE(mode == 1 ? "standard" : "simple");
        test::TempDir dir;
        WriteManyDependants(dir.File("export"));
        const std::string output = dir.File("family.xml");
        const std::string report = dir.File("report.csv");
        std::vector<std::string> args = {"--folder", dir.File("export"), "--year", "8",
                                         "--yes",    "--output",         output,   "--report",
                                         report};
        const std::vector<std::string> modeArgs = ModeArgs(mode);
        args.insert(args.end(), modeArgs.begin(), modeArgs.end());
        const test::ProgramResult run = RunConverter(args, dir.Path());
        ASSERT_EQ(run.status, 0) << run.err;

        const std::string document = test::ReadBytes(output);
        EXPECT_EQ(CountOf(document, "<FUYOUSINZOKU COUNT="), mode == 1 ? 20u : 0u);
        EXPECT_EQ(CountOf(document, "<NAME>山田 子20&amp;</NAME>"), mode == 1 ? 1u : 0u);
        const std::string leftOut = test::ReadBytes(report);
        // Simple mode writes no dependant, only the head counts of them all.
        const std::size_t leftOutCount = mode == 1 ? 1u : 0u;
        EXPECT_EQ(CountOf(leftOut, Utf8Of("扶養親族の超過,扶養親族番号「")), 5 * leftOutCount);
        for (int n = 21; n <= 25; ++n) {
            EXPECT_EQ(CountOf(leftOut, Utf8Of("扶養親族番号「" + std::to_string(n) + "」")),
                      leftOutCount);
        }
        if (!test::RequireTool("xmllint", "libxml2-utils")) return;
        ExpectValid(output, mode, dir.Path());
    }
}

// The report of the sample company. From its files (see tests/data/e2e/NOTES.md):
// every sex, status, tax, widow, spouse and dependant code has a conversion
// entry; every department (001, 001-002, 001-002-003, 002-010, 003), position
// (020, 040, 050, 030; 1005 and 1006 have none) and payee (139991, 139992,
// 272999; 999999 is "none") is in its master; every employee has 10603 and
// 10801 rows. What is left out: the September settlement of 1003 (支給日
// 2026095, seven bytes), the bonus of 1005 numbered 0, and 1006 has no
// residence-tax row; and the bonuses 5 and 6 of 1002 are summed into the fifth.
TEST(SchemaTest, TheReportOfTheSampleCompany) {
    test::TempDir dir;
    const std::string report = dir.File("report.csv");
    const test::ProgramResult run =
        RunConverter({"--folder", test::SourcePath("samples/demo"), "--year", "8", "--yes",
                      "--output", dir.File("demo.xml"), "--report", report},
                     dir.Path());
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string company = "株式会社ソラマメ&ハッカ商会";
    EXPECT_EQ(test::ReadBytes(report),
              "\xEF\xBB\xBF" +
                  Utf8Of("会社,社員コード,氏名,種類,内容\r\n" + company +
                         ",,,変換した社員,\"6 名 (会社 0001 " + company +
                         ", 申告年度 8 (令和8年), 標準モード, 出力先 ") +
                  dir.File("demo.xml") +
                  Utf8Of(")\"\r\n" + company +
                         ",1002,川瀬 美咲,合算,支給回「5」「6」を 5 回目の賞与として合算しました\r\n" +
                         company +
                         ",1003,三田村 翔,給与の除外,支給回「9」: 支給日「2026095」が 8 "
                         "桁でないため計上していません\r\n" +
                         company +
                         ",1005,月島　さくら,賞与の除外,支給回「0」: 支給回が 1 "
                         "未満のため計上していません\r\n" +
                         company +
                         ",1006,O'Hara Anne,データなし,住民税 (10611) に社員の行がありません\r\n"));
    EXPECT_NE(
        run.err.find(Utf8Of("正常に終了しました。\n報告: 4 件 (扶養親族の超過 0, 給与の除外 1, "
                            "賞与の除外 1, コードの変換なし 0, データなし 1, マスター未登録 0, "
                            "引用符の不一致 0, 金額の異常 0, 合算 1)\n")),
        std::string::npos)
        << run.err;
}

}  // namespace
}  // namespace kw39
