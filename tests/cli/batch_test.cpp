// The program as a clerk uses it in December: many companies at once, the
// report of what the conversion left out, and the progress of a large run.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "program_runner.h"
#include "run_fixtures.h"

namespace kw39::test {
namespace {

// The company and employee files of one company in `folder`; returns the name
// of the document it gets.
std::string WriteCompany(const std::string& folder, const std::string& code,
                         const std::string& name,
                         const std::string& employees = "E001,,山田,太郎") {
    std::filesystem::create_directories(folder);
    WriteBytes(folder + "/KAISHAQ.CSV",
               CompanyBlock(code, name) + "[10101]\r\n" + code + "," + name + "\r\n");
    WriteBytes(folder + "/KOJINQ.CSV",
               CompanyBlock(code, name) + "[10601]\r\n" + employees + "\r\n");
    return code + name + ".XML";
}

struct Batch {
    Batch() {
        root = dir.File("clients");
        out = dir.File("xml");
        std::filesystem::create_directories(root);
        std::filesystem::create_directories(out);
    }
    std::vector<std::string> Args(std::vector<std::string> more = {}) const {
        std::vector<std::string> args = {"--batch", root, "--output-dir", out, "--year", "8"};
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }
    std::string Company(const std::string& folder) const { return root + "/" + folder; }
    std::string Output(const std::string& cp932Name) const { return out + "/" + Utf8Of(cp932Name); }

    TempDir dir;
    std::string root, out;  // UTF-8 paths
};

TEST(BatchTest, ConvertsEveryCompanyAndReportsTheOneThatFails) {
    struct Case {
        const char* name;
        std::string brokenEmployees;  // employee file content of company C, CP932
        int status;
        std::string says;  // CP932, under C's result line
    };
    const std::vector<Case> cases = {
        {"employee file of the wrong kind", CompanyBlock("0003", "C商事") + "[10701]\r\nE1,1\r\n",
         1, "    警告 (Warning): 社員情報ファイルが正しくありません。\n"},
        {"malformed data line",
         CompanyBlock("0003", "C商事") + "[10601]\r\n" + std::string(40, ',') + "\r\n", 2,
         " の 4 行目: "},
        {"no employee", CompanyBlock("0003", "C商事") + "[10601]\r\n", 4,
         "社員データが読み込まれなかったため、出力ファイルは作成していません。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Batch batch;
        const std::string a = WriteCompany(batch.Company("A"), "0001", "A商事");
        const std::string b = WriteCompany(batch.Company("B"), "0002", "B商事");
        const std::string broken = WriteCompany(batch.Company("C"), "0003", "C商事");
        WriteBytes(batch.Company("C") + "/KOJINQ.CSV", c.brokenEmployees);
        std::filesystem::create_directories(batch.Company("notes"));
        WriteBytes(batch.Company("notes") + "/readme.txt", "not an export");
        const std::string report = batch.dir.File("report.csv");

        const ProgramResult result = RunKw39pcaconv(batch.Args({"--yes", "--report", report}));
        EXPECT_EQ(result.status, c.status) << result.err;
        EXPECT_TRUE(FileExists(batch.Output(a)));
        EXPECT_TRUE(FileExists(batch.Output(b)));
        EXPECT_FALSE(FileExists(batch.Output(broken)));
        for (const std::string& part : std::vector<std::string>{
                 "[1/3] A: 正常に終了しました。 (converted) -> " + batch.out + "/" + a +
                     " (社員 1 名)\n",
                 "[2/3] B: 正常に終了しました。 (converted) -> " + batch.out + "/" + b +
                     " (社員 1 名)\n",
                 "[3/3] C: ",
                 " -> " + broken + " は作成していません (not written)\n",
                 c.says,
                 "(skipped, no PCA export): notes\n",
                 "一括変換の結果 (batch result): 3 社中 2 社を変換しました。",
                 "変換できなかった会社 (not converted): C\n",
                 // A and B have neither payee, department, monthly nor year-end file.
                 "報告: 14 件 (扶養親族の超過 0, 給与の除外 0, 賞与の除外 0, "
                 "コードの変換なし 0, データなし 6, マスター未登録 0, 引用符の不一致 0, 金額の異常 "
                 "0, 入力なし 8)\n",
             }) {
            EXPECT_TRUE(Contains(result.err, Utf8Of(part))) << part << "\n" << result.err;
        }
        // One confirmation for the whole batch.
        EXPECT_EQ(CountOf(result.err, Utf8Of("処理を開始します。")), 1u);
        // Each outcome line names the company, the year, the mode and the document.
        const std::string csv = ReadBytes(report);
        EXPECT_TRUE(Contains(csv, "A,,," +
                                      Utf8Of("変換した社員,\"1 名 (会社 0001 A商事, 申告年度 "
                                             "8 (令和8年), 標準モード, 出力先 ") +
                                      batch.Output(a) + ")\"\r\n"))
            << csv;
        EXPECT_TRUE(Contains(csv, "B,E001," + Utf8Of("山田 太郎,データなし,税 (10603)")));
        EXPECT_TRUE(Contains(csv, "C,,," + Utf8Of("変換していません,")));
        EXPECT_TRUE(Contains(csv, Utf8Of(" (会社 0003 C商事, 申告年度 8 (令和8年), 標準モード, "
                                         "出力先 ") +
                                      batch.Output(broken) + ")\"\r\n"))
            << csv;
    }
}

// Each company's payment dates give its year when --year is not given; a
// --year that is not a company's year is noted under its result line.
TEST(BatchTest, EachCompanyHasTheYearOfItsPaymentDates) {
    Batch batch;
    const std::string a = WriteCompany(batch.Company("A"), "0001", "A商事");
    const std::string b = WriteCompany(batch.Company("B"), "0002", "B商事");
    for (const auto& [folder, code, date] :
         {std::tuple("A", "0001", "20250125"), std::tuple("B", "0002", "20260125")}) {
        WriteBytes(batch.Company(folder) + "/GETUJIQ.CSV",
                   CompanyBlock(code, std::string(folder) + "商事") +
                       "[10701]\r\nE001,1\r\n[10702]\r\nE001,1," + date + "\r\n");
    }
    std::vector<std::string> args = batch.Args({"--yes"});
    args.erase(args.end() - 3, args.end() - 1);  // --year 8
    ProgramResult result = RunKw39pcaconv(args);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(Contains(ReadBytes(batch.Output(a)), "<SINKOKUNENDO>7</SINKOKUNENDO>"));
    EXPECT_TRUE(Contains(ReadBytes(batch.Output(b)), "<SINKOKUNENDO>8</SINKOKUNENDO>"));
    EXPECT_TRUE(Contains(result.err, Utf8Of("A: 申告年度 (year): 7 (支給日の年 2025 年")));
    EXPECT_TRUE(Contains(result.err, Utf8Of("B: 申告年度 (year): 8 (支給日の年 2026 年")));
    // The summary states the year each company gets, not one for all.
    EXPECT_TRUE(Contains(result.err,
                         Utf8Of("    申告年度 (year): 会社ごとにデータの年 (each company: the year "
                                "of its data)\n        A: 7 (令和7年)\n        B: 8 (令和8年)\n")))
        << result.err;

    result = RunKw39pcaconv(batch.Args({"--yes"}));
    ASSERT_EQ(result.status, 0) << result.err;
    // Before the one confirmation that answers it, and before any company ran.
    const std::size_t asked = result.err.find(
        Utf8Of("質問 (Question): A: 支給日の年は 2025 年 (令和7年) ですが、申告年度に 8 が指定さ"
               "れています。\nこのまま続けますか？\n(The payment dates are of 2025, but the filing "
               "year given is 8: go on?)\n"));
    EXPECT_LT(asked, result.err.find(Utf8Of("確認 (Confirm)"))) << result.err;
    EXPECT_LT(asked, result.err.find("[1/2] A: ")) << result.err;
    EXPECT_EQ(CountOf(result.err, Utf8Of("質問")), 1u);
    EXPECT_TRUE(Contains(ReadBytes(batch.Output(a)), "<SINKOKUNENDO>8</SINKOKUNENDO>"));

    // A check asks nothing: the question becomes the warning it states.
    result = RunKw39pcaconv(batch.Args({"--check"}));
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(Contains(result.err, Utf8Of("\n    警告 (Warning): 支給日の年は 2025 年 (令和7年) "
                                            "ですが、申告年度に 8 が指定されています。\n")))
        << result.err;
    EXPECT_FALSE(Contains(result.err, Utf8Of("このまま続けますか？")));
    EXPECT_FALSE(Contains(result.err, Utf8Of("確認 (Confirm)")));
}

// Folder and file names reach standard error in result lines, lists and the
// core's messages; none of their control characters gets there as it is, so
// that no line can be forged and no escape sequence obeyed.
TEST(BatchTest, NamesCannotForgeLinesOrSendEscapes) {
    Batch batch;
    const std::string title = "A\x1b]0;pwned\x07";
    const std::string forger = "B\nkw39pcaconv: 2 社中 2 社を変換しました。";
    WriteCompany(batch.Company(title), "0001", "A商事");
    const std::string broken = batch.Company(Utf8Of(forger));
    WriteCompany(broken, "0002", "B商事");
    const std::string employees = broken + "/KOJINQ\x1b[2J.CSV";
    std::filesystem::rename(broken + "/KOJINQ.CSV", employees);
    WriteBytes(employees,
               CompanyBlock("0002", "B商事") + "[10601]\r\n" + std::string(40, ',') + "\r\n");
    std::filesystem::create_directories(batch.Company("\x1b[31mnotes"));

    const ProgramResult result = RunKw39pcaconv(batch.Args({"--yes"}));
    EXPECT_EQ(result.status, 2) << result.err;
    const std::string shownB = Utf8Of("B\\x0Akw39pcaconv: 2 社中 2 社を変換しました。");
    for (const std::string& part : std::vector<std::string>{
             "[1/2] A\\x1B]0;pwned\\x07: " + Utf8Of("正常に終了しました。"),
             "[2/2] " + shownB + ": ",
             batch.root + "/" + shownB + "/KOJINQ\\x1B[2J.CSV" + Utf8Of(" の 4 行目: "),
             "(skipped, no PCA export): \\x1B[31mnotes\n",
             "(not converted): " + shownB + "\n",
         }) {
        EXPECT_TRUE(Contains(result.err, part)) << part << "\n" << result.err;
    }
    for (const char c : result.err) {
        EXPECT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= 0x20) << int(c);
        if (c != '\n' && static_cast<unsigned char>(c) < 0x20) break;
    }
    EXPECT_FALSE(Contains(result.err, "\nkw39pcaconv: 2 "));
}

TEST(BatchTest, CompaniesThatWouldShareAFileNameAreNeitherConverted) {
    struct Case {
        const char* name;
        const char* nameA;  // company names, CP932; both with code 0001
        const char* nameB;
    };
    for (const Case& c :
         {Case{"same name", "テスト商事", "テスト商事"}, Case{"same but for case", "abc", "ABC"},
          Case{"same once made safe", "A/B", "A:B"}}) {
        SCOPED_TRACE(c.name);
        Batch batch;
        const std::string a = WriteCompany(batch.Company("A"), "0001", c.nameA);
        const std::string b = WriteCompany(batch.Company("B"), "0001", c.nameB);
        const std::string other = WriteCompany(batch.Company("C"), "0002", "その他");
        const std::string existing =
            batch.out + "/" + Utf8Of("0001" + std::string(c.nameA) + ".XML");
        if (std::string(c.nameA).find('/') == std::string::npos) WriteBytes(existing, "previous");

        const ProgramResult result = RunKw39pcaconv(batch.Args({"--yes"}));
        EXPECT_EQ(result.status, 1) << result.err;
        EXPECT_TRUE(FileExists(batch.Output(other)));
        for (const char* folder : {"A", "B"}) {
            const std::string otherFolder = std::string(folder) == "A" ? "B" : "A";
            EXPECT_TRUE(Contains(
                result.err, Utf8Of("が、フォルダ " + otherFolder + " の会社と同じになります。\n")))
                << result.err;
        }
        EXPECT_EQ(CountOf(result.err, Utf8Of("いずれの会社も変換していません。")), 2u);
        if (FileExists(existing)) {
            EXPECT_EQ(ReadBytes(existing), "previous");
        }
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(batch.out),
                                std::filesystem::directory_iterator()),
                  FileExists(existing) ? 2 : 1);
    }
}

// Everything in a folder, recursively, as names relative to it.
std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        names.push_back(std::filesystem::relative(entry.path(), folder).string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// --check runs everything a conversion runs and writes its report, but no
// document: old documents stay, no temporary file is left, nothing is asked.
TEST(BatchTest, CheckRunsEverythingButTheDocument) {
    Batch batch;
    const std::string a = WriteCompany(batch.Company("A"), "0001", "A商事");
    WriteBytes(batch.Output(a), "previous");
    const std::string report = batch.dir.File("report.csv");

    // A single run first.
    const std::string single = batch.dir.File("single.xml");
    WriteBytes(single, "previous");
    const ProgramResult one = RunKw39pcaconv(
        {"--folder", batch.Company("A"), "--output", single, "--check", "--report", report});
    EXPECT_EQ(one.status, 0) << one.err;
    EXPECT_EQ(ReadBytes(single), "previous");
    EXPECT_TRUE(Contains(ReadBytes(report),
                         Utf8Of("A商事,,,変換していません,\"チェックが正常に終了しました (社員 1 "
                                "名)。出力ファイルは作成していません。 (会社 0001 A商事, ")));

    const std::vector<std::string> before = FilesIn(batch.dir.Path());
    const ProgramResult passed = RunKw39pcaconv(batch.Args({"--check", "--report", report}));
    EXPECT_EQ(passed.status, 0) << passed.err;
    EXPECT_TRUE(Contains(passed.err, Utf8Of("[1/1] A: チェックが正常に終了しました。 (checked, "
                                            "not written) -> ") +
                                         batch.Output(a) + Utf8Of(" (社員 1 名)\n")));

    WriteCompany(batch.Company("C"), "0003", "C商事");
    WriteBytes(batch.Company("C") + "/KOJINQ.CSV", ValidSlotFile(4));
    const ProgramResult failed = RunKw39pcaconv(batch.Args({"--check", "--report", report}));
    EXPECT_EQ(failed.status, 1) << failed.err;
    for (const std::string& part : std::vector<std::string>{
             "[2/2] C: チェックで止まりました (check failed, status 1)",
             "一括チェックの結果 (batch check result): 2 社中 1 社を変換できます。 (1 of 2 "
             "companies can be converted.)\n変換できない会社 (cannot be converted): C\n",
         }) {
        EXPECT_TRUE(Contains(failed.err, Utf8Of(part))) << part << "\n" << failed.err;
    }
    const std::string csv = ReadBytes(report);
    EXPECT_TRUE(Contains(csv, "A,,," + Utf8Of("変換していません,\"チェックが正常に終了しました")));
    EXPECT_TRUE(
        Contains(csv, "C,,," + Utf8Of("変換していません,\"社員情報ファイルが正しくありま")));

    // Nothing was written but the report; the old document is as it was.
    std::vector<std::string> after = FilesIn(batch.dir.Path());
    after.erase(
        std::remove_if(after.begin(), after.end(),
                       [](const std::string& name) { return name.starts_with("clients/C"); }),
        after.end());
    EXPECT_EQ(after, before);
    EXPECT_EQ(ReadBytes(batch.Output(a)), "previous");
}

TEST(BatchTest, QuietShowsOnlyTheCompaniesThatNeedTheClerk) {
    Batch batch;
    WriteCompany(batch.Company("A"), "0001", "A商事");
    const ProgramResult clean = RunKw39pcaconv(batch.Args({"--yes", "--quiet"}));
    EXPECT_EQ(clean.status, 0);
    EXPECT_EQ(clean.err, "");

    WriteCompany(batch.Company("C"), "0003", "C商事");
    WriteBytes(batch.Company("C") + "/KOJINQ.CSV", ValidSlotFile(4));
    const ProgramResult failed = RunKw39pcaconv(batch.Args({"--yes", "--quiet"}));
    EXPECT_EQ(failed.status, 1);
    // C's result line comes first: A's, the summary and the counts are left out.
    EXPECT_TRUE(
        failed.err.starts_with(Utf8Of("[2/2] C: チェックで止まりました (check failed, status 1) -> "
                                      "0003C商事.XML は作成していません (not written)\n")))
        << failed.err;
    EXPECT_TRUE(
        failed.err.ends_with(Utf8Of("    警告 (Warning): 社員情報ファイルが正しくありません。\n"
                                    "    (The file does not hold the table of its kind.)\n")))
        << failed.err;
    EXPECT_FALSE(Contains(failed.err, "[1/2]"));
}

TEST(BatchTest, ProblemsOfTheBatchAsAWhole) {
    struct Case {
        const char* name;
        std::function<std::vector<std::string>(Batch&)> args;
        int status;
        std::vector<std::string> says;  // CP932
    };
    const std::vector<Case> cases = {
        {"--batch with --folder",
         [](Batch& b) {
             return b.Args({"--folder", b.root});
         },
         64,
         {"--batch と --folder は一緒に指定できません", "--help"}},
        {"--batch with a file option",
         [](Batch& b) {
             return b.Args({"--employee", "e.csv"});
         },
         64,
         {"--batch と --employee は一緒に指定できません"}},
        {"--batch with --output",
         [](Batch& b) {
             return b.Args({"--output", "x.xml"});
         },
         64,
         {"--batch と --output は一緒に指定できません"}},
        {"--batch without --output-dir",
         [](Batch& b) {
             return std::vector<std::string>{"--batch", b.root};
         },
         64,
         {"--batch には --output-dir の指定が必要です"}},
        {"--output-dir alone",
         [](Batch& b) {
             return std::vector<std::string>{"--output-dir", b.out};
         },
         64,
         {"--output-dir は --batch と一緒に指定してください"}},
        {"report and output the same file",
         [](Batch&) {
             return std::vector<std::string>{"--output", "x.xml", "--report", "x.xml"};
         },
         64,
         {"--report と --output に同じファイルは指定できません"}},
        {"no such root",
         [](Batch& b) {
             std::filesystem::remove(b.root);
             return b.Args({"--yes"});
         },
         1,
         {"警告 (Warning): フォルダが存在しません。\n\n", "(option to correct): --batch\n"}},
        {"no output folder",
         [](Batch& b) {
             std::filesystem::remove(b.out);
             return b.Args({"--yes"});
         },
         1,
         {"出力先のフォルダが存在しません。", "(option to correct): --output-dir\n"}},
        {"no company folder",
         [](Batch& b) {
             std::filesystem::create_directories(b.Company("empty"));
             WriteBytes(b.root + "/KAISHAQ.CSV", ValidSlotFile(0));  // not in a subfolder
             return b.Args({"--yes"});
         },
         1,
         {"変換する会社のフォルダがありません。", "(option to correct): --batch\n"}},
        {"bad year",
         [](Batch& b) {
             WriteCompany(b.Company("A"), "0001", "A");
             return std::vector<std::string>{"--batch", b.root, "--output-dir", b.out,
                                             "--year",  "99",   "--yes"};
         },
         1,
         {"正しい申告年度を指定してください。\n(The filing year must be",
          "(option to correct): --year\nkw39pcaconv: 例: --year "}},
        {"year with a control character",
         [](Batch& b) {
             WriteCompany(b.Company("A"), "0001", "A");
             return std::vector<std::string>{"--batch", b.root,     "--output-dir", b.out,
                                             "--year",  "8\x1b[2J", "--yes"};
         },
         1,
         {"正しい申告年度を指定してください。", "(option to correct): --year\n"}},
        {"no terminal and no --yes",
         [](Batch& b) {
             WriteCompany(b.Company("A"), "0001", "A");
             return b.Args();
         },
         3,
         {"処理を開始します。", "中止しました。 (Cancelled.)", "1 社中 0 社を変換しました。"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Batch batch;
        const ProgramResult result = RunKw39pcaconv(c.args(batch));
        EXPECT_EQ(result.status, c.status) << result.err;
        for (const std::string& part : c.says) {
            EXPECT_TRUE(Contains(result.err, Utf8Of(part))) << part << "\n" << result.err;
        }
        if (std::filesystem::is_directory(batch.out)) {
            EXPECT_TRUE(std::filesystem::is_empty(batch.out));
        }
    }
}

TEST(ReportTest, ASingleRunCountsItsFindingsAfterTheCompletionMessage) {
    TempDir dir;
    const std::string company = dir.Write("k.csv", ValidSlotFile(0));
    // E001 has no tax, residence-tax or year-end rows and an unknown sex code;
    // E002 is complete. The year-end table is there, in the employee file.
    const std::string employee =
        dir.Write("e.csv", CompanyBlock() +
                               "[10601]\r\nE001,,山田,太郎,,,,,,0\r\nE002,,川瀬,美咲\r\n"
                               "[10603]\r\nE002\r\n[10611]\r\nE002\r\n[10801]\r\nE002\r\n");
    const std::string output = dir.File("out.xml");
    const std::string report = dir.File(Utf8Of("報告.csv"));
    const std::vector<std::string> args = {"--year", "8",        "--company", company, "--employee",
                                           employee, "--output", output,      "--yes"};

    std::vector<std::string> withReport = args;
    withReport.insert(withReport.end(), {"--report", report});
    const ProgramResult result = RunKw39pcaconv(withReport);
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string count = Utf8Of(
        "報告: 7 件 (扶養親族の超過 0, 給与の除外 0, 賞与の除外 0, コードの変換なし 1, "
        "データなし 3, マスター未登録 0, 引用符の不一致 0, 金額の異常 0, 入力なし 3)\n");
    const std::size_t done = result.err.find(Utf8Of("情報 (Info): 正常に終了しました。\n"));
    ASSERT_NE(done, std::string::npos) << result.err;
    EXPECT_EQ(result.err.find(count), done + Utf8Of("情報 (Info): 正常に終了しました。\n").size());
    EXPECT_FALSE(Contains(result.err, "--report PATH"));
    const std::string tax = Utf8Of("テスト商事,E001,山田 太郎,");
    EXPECT_EQ(
        ReadBytes(report),
        "\xEF\xBB\xBF" +
            Utf8Of("会社,社員コード,氏名,種類,内容\r\n"
                   "テスト商事,,,変換した社員,\"2 名 (会社 0001 テスト商事, 申告年度 8 (令和8年), "
                   "標準モード, 出力先 ") +
            output + ")\"\r\n" +
            Utf8Of("テスト商事,,,入力なし,「住民税納付先」のファイルが選ばれていないため、"
                   "その値は出力していません\r\n"
                   "テスト商事,,,入力なし,「部門」のファイルが選ばれていないため、"
                   "その値は出力していません\r\n"
                   "テスト商事,,,入力なし,「月次データ」のファイルが選ばれていないため、"
                   "その値は出力していません\r\n") +
            tax +
            Utf8Of("コードの変換なし,性別「0」 (10601) に変換先がないため空欄にしました\r\n") +
            tax + Utf8Of("データなし,税 (10603) に社員の行がありません\r\n") + tax +
            Utf8Of("データなし,住民税 (10611) に社員の行がありません\r\n") + tax +
            Utf8Of("データなし,年末調整 (10801) に社員の行がありません\r\n"));

    // Without --report the count tells where the details are.
    const ProgramResult plain = RunKw39pcaconv(args);
    EXPECT_EQ(plain.status, 0);
    EXPECT_TRUE(Contains(plain.err, count + Utf8Of("詳細は --report PATH で書き出せます。")));

    // A report that cannot be written is found before the run.
    std::filesystem::remove(output);
    std::vector<std::string> toFolder = args;
    toFolder.insert(toFolder.end(), {"--report", dir.Path()});
    const ProgramResult refused = RunKw39pcaconv(toFolder);
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(Contains(refused.err,
                         Utf8Of("警告 (Warning): 報告ファイルにフォルダが指定されています。")));
    EXPECT_TRUE(Contains(refused.err, "(option to correct): --report\n"));
    EXPECT_FALSE(FileExists(output));

    // A run that stops still leaves a report that says so.
    std::vector<std::string> noEmployee = {"--year",     "99",       "--company", company,
                                           "--employee", employee,   "--output",  output,
                                           "--yes",      "--report", report};
    EXPECT_EQ(RunKw39pcaconv(noEmployee).status, 1);
    EXPECT_EQ(ReadBytes(report),
              "\xEF\xBB\xBF" +
                  Utf8Of("会社,社員コード,氏名,種類,内容\r\n"
                         "テスト商事,,,変換していません,\"正しい申告年度を指定してください。 (会社 "
                         "0001 テスト商事, 申告年度 99, 標準モード, 出力先 ") +
                  output + ")\"\r\n");
}

// An export whose monthly file is large and whose conversion is small: the
// reading is what takes the time.
void WriteLargeExport(const std::string& folder, std::size_t megabytes) {
    std::filesystem::create_directories(folder);
    WriteBytes(folder + "/KAISHAQ.CSV", ValidSlotFile(0));
    WriteBytes(folder + "/KOJINQ.CSV", ValidSlotFile(3));
    std::string line = "Z999,1,20260125";
    for (int i = 0; i < 60; ++i) line += ",300000";
    line += "\r\n";
    std::string monthly = CompanyBlock() + "[10701]\r\nE001,1\r\n[10702]\r\n";
    while (monthly.size() < megabytes * 1024 * 1024) monthly += line;
    WriteBytes(folder + "/GETUJIQ.CSV", monthly);
}

TEST(ProgressTest, ShownOnATerminalOnlyAndErasedBeforeTheNextMessage) {
    TempDir dir;
    const std::string output = dir.File("out.xml");
    // Large enough that reading takes longer than the first interval of the
    // progress line even on a fast machine; doubled until it does.
    for (std::size_t megabytes = 8;; megabytes *= 2) {
        SCOPED_TRACE(std::to_string(megabytes) + " MB");
        const std::string folder = dir.File("export" + std::to_string(megabytes));
        WriteLargeExport(folder, megabytes);
        const std::vector<std::string> args = {"--folder", folder,     "--year", "8",
                                               "--yes",    "--output", output};

        const ProgramResult redirected = RunKw39pcaconv(args);
        ASSERT_EQ(redirected.status, 0) << redirected.err;
        EXPECT_EQ(redirected.err.find('\r'), std::string::npos);
        EXPECT_FALSE(Contains(redirected.err, "(reading)"));

        ProgramInput input;
        input.stderrTerminal = true;
        const ProgramResult shown = RunKw39pcaconv(args, input);
        ASSERT_EQ(shown.status, 0) << shown.err;
        if (!Contains(shown.err, "(reading)") && megabytes < 128) continue;

        const std::string total =
            std::to_string(std::filesystem::file_size(folder + "/GETUJIQ.CSV") / 1024 / 1024);
        EXPECT_TRUE(Contains(shown.err, Utf8Of("\r読み込み (reading) "))) << shown.err;
        EXPECT_TRUE(Contains(shown.err, " / " + total + ".")) << shown.err;
        // The line is redrawn in place and erased (blanks over it, back to its
        // start) before each message and at the end: what stays on each line of
        // the screen, the text after its last carriage return, is no progress.
        std::size_t start = 0;
        for (std::size_t end; (end = shown.err.find('\n', start)) != std::string::npos;
             start = end + 1) {
            std::string line = shown.err.substr(start, end - start);
            if (line.ends_with('\r')) line.pop_back();  // the terminal's CR LF
            const std::string stays = line.substr(line.rfind('\r') + 1);
            for (const char* phase : {"(checking)", "(reading)", "(converting)", "(writing)"}) {
                EXPECT_FALSE(Contains(stays, phase)) << line;
            }
        }
        EXPECT_TRUE(shown.err.ends_with("\n")) << shown.err;
        break;
    }
}

}  // namespace
}  // namespace kw39::test
