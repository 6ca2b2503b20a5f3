#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/version.h"
#include "program_runner.h"
#include "run/conversion_report.h"
#include "run/launch_context.h"
#include "run/run_description.h"
#include "run_fixtures.h"

namespace kw39::test {
namespace {

TEST(Kw39pcaconv, HelpDescribesEveryOptionAndStatus) {
    const ProgramResult help = RunKw39pcaconv({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.err.empty());
    for (const char* part : {"--year",   "--mode",       "standard",   "simple",      "--company",
                             "--payee",  "--department", "--employee", "--monthly",   "--yearend",
                             "--folder", "--output",     "--yes",      "--check",     "--quiet",
                             "-h",       "-V",           "--version",  "exit status", "64"}) {
        EXPECT_TRUE(Contains(help.out, part)) << part;
    }
    EXPECT_TRUE(Contains(help.out, Utf8Of("終了ステータス")));
    EXPECT_TRUE(Contains(help.out, Utf8Of("社員情報 (KOJINQ)")));
    // Every kind of finding the report can hold, by the name in its 種類 column,
    // at the start of a line of its own.
    for (std::size_t kind = 0; kind < kFindingKindCount; ++kind) {
        const std::string name =
            Utf8Of(std::string(FindingKindName(static_cast<FindingKind>(kind))));
        EXPECT_TRUE(Contains(help.out, "\n  " + name + " ")) << name;
    }
    // It fits a terminal of 80 columns; a wide character takes two, the
    // half-width katakana (U+FF61 to U+FF9F) one.
    std::size_t lineStart = 0;
    while (lineStart < help.out.size()) {
        const std::size_t end = std::min(help.out.find('\n', lineStart), help.out.size());
        std::size_t columns = 0;
        for (std::size_t i = lineStart; i < end; ++i) {
            const auto byte = static_cast<unsigned char>(help.out[i]);
            if ((byte & 0xC0) == 0x80) continue;
            const bool halfWidthKana = byte == 0xEF && i + 1 < end &&
                                       (static_cast<unsigned char>(help.out[i + 1]) == 0xBD ||
                                        static_cast<unsigned char>(help.out[i + 1]) == 0xBE);
            columns += byte >= 0xE0 && !halfWidthKana ? 2 : 1;
        }
        EXPECT_LE(columns, 80u) << help.out.substr(lineStart, end - lineStart);
        lineStart = end + 1;
    }
    // The short form, and the end of the options, change nothing.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"-h"}, std::vector<std::string>{"-h", "--"}}) {
        const ProgramResult shortForm = RunKw39pcaconv(args);
        EXPECT_EQ(shortForm.status, 0);
        EXPECT_EQ(shortForm.out, help.out);
    }
}

TEST(Kw39pcaconv, VersionNamesProgramLicenceAndBothVersions) {
    const ProgramResult version = RunKw39pcaconv({"--version"});
    EXPECT_EQ(version.status, 0);
    ASSERT_FALSE(platform::ReadProductVersion().empty());
    // GNU form: the first line alone, for scripts, is the release the project
    // declares; copyright and licence follow.
    EXPECT_EQ(version.out.substr(0, version.out.find('\n')), "kw39pcaconv " KW39_PROGRAM_VERSION);
    EXPECT_TRUE(Contains(version.out, "\nCopyright (C) 2026 kw39pcaconv developers\nLicense MIT"));
    // The two strings every document carries, each beside the tag it fills.
    EXPECT_TRUE(Contains(version.out, "product version  " + platform::ReadProductVersion() +
                                          "  (CONNECTEDPROGRAMVER)\n"));
    EXPECT_TRUE(Contains(version.out,
                         "file version     " + platform::ReadFileVersion() + "  (PROGRAMVER)\n"));
    EXPECT_EQ(RunKw39pcaconv({"-V"}).out, version.out);
}

TEST(Kw39pcaconv, WrongUsageExits64) {
    struct Case {
        std::vector<std::string> args;
        std::string says;  // CP932
    };
    const std::vector<Case> cases = {
        {{}, "使い方 (usage):\n  kw39pcaconv [--year TEXT]"},
        {{"--bogus"}, "不明なオプションです (unknown option): --bogus"},
        {{"--"}, "使い方 (usage):\n  kw39pcaconv [--year TEXT]"},
        {{"-y"}, "不明なオプションです (unknown option): -y"},
        {{"--yes", "-x", "--output"}, "不明なオプションです (unknown option): -x"},
        {{"input.csv"}, "余分な引数です (unexpected argument): input.csv"},
        {{"--year"}, "オプション --year には値が必要です"},
        {{"--output", "--yes"}, "オプション --output には値が必要です"},
        {{"--mode", "fast"}, "--mode には standard か simple を指定してください"},
        {{"--company", "a.csv", "--company=b.csv"}, "オプション --company が2回指定されています"},
        {{"--yes=1"}, "オプション --yes は値をとりません"},
        {{"--year", "\xF0\x9F\x98\x80"}, "Shift_JIS で表せない文字があります"},
        {{"--year", "\xFF"}, "Shift_JIS で表せない文字があります"},
        {{"--yes", "--", "--output"}, "余分な引数です (unexpected argument): --output"},
        {{"--", "--"}, "余分な引数です (unexpected argument): --"},
        {{"--output", "-"},
         "--output に - (標準出力) は指定できません。ファイル名を指定してください。"},
        {{"--output=-", "--yes"},
         "(--output - is refused: it writes a file, never standard output.)"},
        {{"--report", "-"}, "--report に - (標準出力) は指定できません。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const ProgramResult result = RunKw39pcaconv(c.args);
        EXPECT_EQ(result.status, 64);
        EXPECT_TRUE(Contains(result.err, Utf8Of(c.says))) << result.err;
        EXPECT_TRUE(Contains(result.err, "--help"));
    }
}

// A complete input set on disk, with Japanese file names, and the arguments
// that name it.
struct CliInputs {
    CliInputs() {
        company = dir.Write(Utf8Of("会社.csv"), ValidSlotFile(0));
        employee = dir.Write(Utf8Of("社員.csv"), ValidSlotFile(3));
        output = dir.File("out.xml");
    }
    std::vector<std::string> Args(std::vector<std::string> more = {}) const {
        std::vector<std::string> args = {"--year",     year,     "--company", company,
                                         "--employee", employee, "--output",  output};
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }
    TempDir dir;
    std::string year = "8";
    std::string company, employee, output;  // UTF-8 paths
};

TEST(Kw39pcaconv, ExitStatusTellsWhatHappened) {
    struct Case {
        const char* name;
        std::function<std::vector<std::string>(CliInputs&)> args;
        int status;
        std::vector<std::string> says;  // CP932 parts of standard error
        bool written;
        std::vector<std::string> never = {};  // CP932 parts it must not hold
    };
    const Case cases[] = {
        {"written",
         [](CliInputs& in) { return in.Args({"--yes"}); },
         0,
         {"確認 (Confirm): 処理を開始します。\nよろしいですか？",
          "情報 (Info): 正常に終了しました。\n"},
         true},
        {"simple mode written",
         [](CliInputs& in) {
             return in.Args({"--yes", "--mode=simple"});
         },
         0,
         {"正常に終了しました。"},
         true},
        {"year rejected",
         [](CliInputs& in) {
             in.year = "99";
             return in.Args({"--yes"});
         },
         1,
         {"警告 (Warning): 正しい申告年度を指定してください。\n"
          "(The filing year must be a Japanese-era year from 1 to 98.)\n",
          "修正するオプション (option to correct): --year\nkw39pcaconv: 例: --year " +
              YearWithEra(DefaultYear(platform::Today())) + "\n"},
         false},
        {"mandatory file missing",
         [](CliInputs& in) {
             return std::vector<std::string>{"--employee", in.employee, "--output", in.output,
                                             "--yes"};
         },
         1,
         {"警告 (Warning): 連動に必要なマスターファイルが存在しません。\n\n会社情報\n"
          "(A required file (company or employee) is not chosen.)\n",
          "修正するオプション (option to correct): --company\n"},
         false},
        {"employee file of the wrong kind",
         [](CliInputs& in) {
             WriteBytes(in.employee, ValidSlotFile(4));
             return in.Args({"--yes"});
         },
         1,
         {"警告 (Warning): 社員情報ファイルが正しくありません。\n"
          "(The file does not hold the table of its kind.)\n",
          "修正するオプション (option to correct): --employee\n"},
         false},
        {"missing input file",
         [](CliInputs& in) {
             return in.Args({"--yes", "--monthly", in.dir.File("none.csv")});
         },
         1,
         {"マスターファイルが存在しません。\n\n", "/none.csv\n(The input file does not exist.)\n",
          "修正するオプション (option to correct): --monthly\n"},
         false},
        {"input that is a folder",
         [](CliInputs& in) {
             std::filesystem::create_directory(in.dir.File("dir.csv"));
             return in.Args({"--yes", "--department", in.dir.File("dir.csv")});
         },
         1,
         {"部門ファイルに、通常のファイルではないもの",
          "修正するオプション (option to correct): --department\n"},
         false},
        {"output is a folder",
         [](CliInputs& in) {
             std::filesystem::create_directory(in.output);
             return in.Args({"--yes"});
         },
         1,
         {"エラー (Error): "
          "ファイルの保存に失敗しました。\n\n出力先データにフォルダが指定されています。",
          "(A folder is given where a file name is needed.)\n",
          "修正するオプション (option to correct): --output\n"},
         false},
        {"no terminal and no --yes",
         [](CliInputs& in) { return in.Args(); },
         3,
         {"処理を開始します。", "--yes", "中止しました。"},
         false},
        {"check: everything but the document",
         [](CliInputs& in) { return in.Args({"--check"}); },
         0,
         {"情報 (Info): チェックが正常に終了しました (社員 1 "
          "名)。出力ファイルは作成していません。\n"
          "(Check passed: the document could be written; it was not.)\n"},
         false,
         {"確認 (Confirm)", "処理を開始します。", "OK (--check)"}},
        {"check of an input that fails",
         [](CliInputs& in) {
             WriteBytes(in.employee, ValidSlotFile(4));
             return in.Args({"--check"});
         },
         1,
         {"社員情報ファイルが正しくありません。"},
         false},
        {"no employee loaded",
         [](CliInputs& in) {
             WriteBytes(in.employee, CompanyBlock() + "[10601]\r\n");
             return in.Args({"--yes"});
         },
         4,
         {"警告 (Warning): 社員データが読み込まれなかったため、出力ファイルは作成していません。\n"
          "(No employee was loaded: nothing was written.)\n"},
         false},
        {"folder that does not exist",
         [](CliInputs& in) {
             return in.Args({"--yes", "--folder", in.dir.File("nowhere")});
         },
         1,
         {"警告 (Warning): フォルダが存在しません。\n\n",
          "修正するオプション (option to correct): --folder\n"},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CliInputs in;
        const ProgramResult result = RunKw39pcaconv(c.args(in));
        EXPECT_EQ(result.status, c.status) << result.err;
        for (const std::string& part : c.says) {
            EXPECT_TRUE(Contains(result.err, Utf8Of(part))) << part << "\n" << result.err;
        }
        for (const std::string& part : c.never) {
            EXPECT_FALSE(Contains(result.err, Utf8Of(part))) << part << "\n" << result.err;
        }
        EXPECT_EQ(FileExists(in.output) && !std::filesystem::is_directory(in.output), c.written);
    }
}

TEST(Kw39pcaconv, WrittenDocumentCarriesModeAndYear) {
    CliInputs in;
    in.year = Utf8Of("26年");
    ASSERT_EQ(RunKw39pcaconv(in.Args({"--yes", "--mode", "simple"})).status, 0);
    const std::string document = ReadBytes(in.output);
    EXPECT_TRUE(Contains(document, "<SINKOKUNENDO>26年</SINKOKUNENDO>\r\n"));
    EXPECT_TRUE(Contains(document, "<MODE>EASY</MODE>\r\n"));
    EXPECT_TRUE(Contains(document, "<KOMONSAKINAME>テスト商事</KOMONSAKINAME>\r\n"));
}

// The year of the data is that of its payment dates: taken when --year is
// not given (today's without a date), and a --year that differs is asked
// about before the confirmation.
TEST(Kw39pcaconv, YearOfThePaymentDates) {
    const std::string question =
        "質問 (Question): 支給日の年は 2026 年 (令和8年) ですが、申告年度に 9 が指定されています。"
        "\nこのまま続けますか？\n(The payment dates are of 2026, but the filing year given is 9: "
        "go "
        "on?)";
    struct Case {
        const char* name;
        std::optional<std::string> year;  // --year, CP932
        bool dates;                       // a monthly file with payment dates of 2026
        std::vector<std::string> more;
        std::optional<std::string> typed;
        int status;
        std::vector<std::string> says;  // CP932, in this order
        std::string written;            // the year in the document; "" for none
    };
    const std::string today = DefaultYear(platform::Today());
    const Case cases[] = {
        {"data's year without --year",
         std::nullopt,
         true,
         {"--yes"},
         std::nullopt,
         0,
         {"申告年度 (year): 8 (支給日の年 2026 年 (令和8年) から / from the payment dates)",
          "確認 (Confirm)"},
         "8"},
        {"today's year without a payment date",
         std::nullopt,
         false,
         {"--yes"},
         std::nullopt,
         0,
         {"申告年度 (year): " + today + " (支給日がないため今年 / no payment date"},
         today},
        {"the data's year given", "8", true, {"--yes"}, std::nullopt, 0, {"確認 (Confirm)"}, "8"},
        {"another year with --yes",
         "9",
         true,
         {"--yes"},
         std::nullopt,
         0,
         {question + " Yes (--yes)\n", "確認 (Confirm)"},
         "9"},
        // The question is a warning: --quiet shows it all the same.
        {"another year with --yes --quiet",
         "9",
         true,
         {"--yes", "--quiet"},
         std::nullopt,
         0,
         {question + " Yes (--yes)\n"},
         "9"},
        // A check asks nothing: it says what the question would ask about.
        {"another year with --check",
         "9",
         true,
         {"--check"},
         std::nullopt,
         0,
         {"警告 (Warning): 支給日の年は 2026 年 (令和8年) ですが、申告年度に 9 "
          "が指定されています。\n"},
         ""},
        {"another year, no terminal", "9", true, {}, std::nullopt, 3, {question, "--yes"}, ""},
        {"another year, answered no", "9", true, {}, "n\n", 3, {question + " [y/N] "}, ""},
        {"another year, answered yes",
         "9",
         true,
         {},
         "y\ny\n",
         0,
         {question + " [y/N] ", "処理を開始します。"},
         "9"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CliInputs in;
        std::vector<std::string> args = in.Args(c.more);
        args.erase(args.begin(), args.begin() + 2);  // --year
        if (c.year) args.insert(args.end(), {"--year", *c.year});
        if (c.dates) {
            const std::string monthly =
                in.dir.Write("monthly.csv", ValidSlotFile(4) + "[10702]\r\nE001,1,20260125\r\n");
            args.insert(args.end(), {"--monthly", monthly});
        }
        ProgramInput input;
        input.terminal = c.typed;
        const ProgramResult result = RunKw39pcaconv(args, input);
        EXPECT_EQ(result.status, c.status) << result.err;
        std::size_t at = 0;
        for (const std::string& part : c.says) {
            at = result.err.find(Utf8Of(part), at);
            EXPECT_NE(at, std::string::npos) << part << "\n" << result.err;
        }
        if (c.status == 3) {
            EXPECT_FALSE(Contains(result.err, Utf8Of("処理を開始します。")));
        }
        if ((c.year && *c.year == "8") ||
            std::find(args.begin(), args.end(), "--check") != args.end()) {
            EXPECT_FALSE(Contains(result.err, Utf8Of("質問")));
            EXPECT_FALSE(Contains(result.err, Utf8Of("このまま続けますか？")));
        }
        if (c.written.empty()) {
            EXPECT_FALSE(FileExists(in.output));
        } else {
            EXPECT_TRUE(Contains(ReadBytes(in.output),
                                 "<SINKOKUNENDO>" + c.written + "</SINKOKUNENDO>\r\n"));
        }
    }
}

TEST(Kw39pcaconv, ConfirmationOnTheTerminal) {
    struct Case {
        const char* typed;  // UTF-8, as the terminal sends it
        int status;
        std::size_t asked;  // times the question was put
    };
    const Case cases[] = {
        {"y\n", 0, 1},
        {"YES\n", 0, 1},
        {" Ok \n", 0, 1},
        {"\xE3\x81\xAF\xE3\x81\x84\n", 0, 1},  // はい
        {"\xEF\xBD\x99\n", 0, 1},              // full-width y
        {"\xEF\xBC\xB9\n", 0, 1},              // full-width Y
        {"n\n", 3, 1},
        {"\n", 3, 1},
        {"\xE3\x81\x84\xE3\x81\x84\xE3\x81\x88\n", 3, 1},  // いいえ
        {"maybe\ny\n", 0, 2},
        {"a\nb\nyes\n", 0, 3},
        {"a\nb\nc\ny\n", 3, 3},  // the third unknown answer ends it
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        CliInputs in;
        ProgramInput input;
        input.terminal = c.typed;
        const ProgramResult result = RunKw39pcaconv(in.Args(), input);
        EXPECT_EQ(result.status, c.status) << result.err;
        EXPECT_TRUE(Contains(result.err, Utf8Of("処理を開始します。\nよろしいですか？\n(Start the "
                                                "conversion?) [y/N] ")));
        EXPECT_EQ(CountOf(result.err, "[y/N]"), c.asked);
        // Standard error is a file here: the terminal the answer is typed on
        // shows the question as well.
        EXPECT_EQ(CountOf(result.terminal, "[y/N]"), c.asked) << result.terminal;
        EXPECT_TRUE(Contains(result.terminal, Utf8Of("処理を開始します。"))) << result.terminal;
        EXPECT_EQ(CountOf(result.err, Utf8Of("y (はい) か n (いいえ) で答えてください。")),
                  c.asked - 1);
        EXPECT_EQ(Contains(result.err, "(Answer not understood: cancelled.)"),
                  c.asked == 3 && c.status == 3);
        EXPECT_EQ(FileExists(in.output), c.status == 0);
    }
}

TEST(Kw39pcaconv, SummaryBeforeTheConfirmation) {
    CliInputs in;
    in.year = Utf8Of("26年");
    const ProgramResult result =
        RunKw39pcaconv(in.Args({"--yes", "--mode", "simple", "--monthly", in.employee}));
    ASSERT_EQ(result.status, 1) << result.err;  // the monthly file is of the wrong kind
    const std::string summary = Utf8Of(
                                    "kw39pcaconv: 実行内容 (summary):\n"
                                    "    申告年度 (year): 26年 (令和26年)\n"
                                    "    モード (mode): 簡易モード (simple)\n"
                                    "    会社情報 (--company): ") +
                                in.company + Utf8Of("\n    社員情報 (--employee): ") + in.employee +
                                Utf8Of("\n    月次データ (--monthly): ") + in.employee +
                                Utf8Of("\n    出力先 (output): ") + in.output + "\n";
    EXPECT_TRUE(Contains(result.err, summary)) << result.err;

    // Before the question, a suggested output named in it, and a check says so.
    TempDir work;
    ProgramInput input;
    input.workingDirectory = work.Path();
    input.terminal = "n\n";
    const ProgramResult asked =
        RunKw39pcaconv({"--year", "8", "--company", in.company, "--employee", in.employee}, input);
    EXPECT_EQ(asked.status, 3);
    const std::size_t at =
        asked.err.find(Utf8Of("    申告年度 (year): 8 (令和8年)\n"
                              "    モード (mode): 標準モード (standard)\n"));
    ASSERT_NE(at, std::string::npos) << asked.err;
    EXPECT_LT(at, asked.err.find("[y/N]"));
    EXPECT_TRUE(Contains(asked.err, Utf8Of("    出力先 (output): 0001テスト商事.XML\n")));
    EXPECT_FALSE(Contains(asked.err, Utf8Of("--check")));
    EXPECT_TRUE(Contains(RunKw39pcaconv(in.Args({"--check"})).err,
                         Utf8Of("    チェックのみ (--check): 出力ファイルは作成しません。")));
}

TEST(Kw39pcaconv, QuietLeavesOnlyWarningsAndErrors) {
    CliInputs in;
    const ProgramResult written = RunKw39pcaconv(in.Args({"--yes", "--quiet"}));
    EXPECT_EQ(written.status, 0);
    EXPECT_EQ(written.err, "");
    EXPECT_TRUE(FileExists(in.output));

    // The year the data's payment dates give is information too.
    std::vector<std::string> ofTheData = in.Args({"--yes", "--quiet"});
    ofTheData.erase(ofTheData.begin(), ofTheData.begin() + 2);  // --year
    const ProgramResult dataYear = RunKw39pcaconv(ofTheData);
    EXPECT_EQ(dataYear.status, 0);
    EXPECT_EQ(dataYear.err, "");

    in.year = "99";
    const ProgramResult rejected = RunKw39pcaconv(in.Args({"--yes", "--quiet"}));
    EXPECT_EQ(rejected.status, 1);
    EXPECT_TRUE(rejected.err.starts_with(
        Utf8Of("警告 (Warning): 正しい申告年度を指定してください。\n(The filing year")))
        << rejected.err;
    EXPECT_TRUE(Contains(rejected.err, "(option to correct): --year\n"));
}

TEST(Kw39pcaconv, LockedOutputIsKept) {
    CliInputs in;
    WriteBytes(in.output, "previous");
    const int fd = ::open(in.output.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    const ProgramResult result = RunKw39pcaconv(in.Args({"--yes"}));
    ::close(fd);
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(Contains(result.err, Utf8Of("エラー (Error): ファイルの保存に失敗しました。\n")));
    EXPECT_EQ(ReadBytes(in.output), "previous");
}

TEST(Kw39pcaconv, MalformedDataLineExits2WithFileAndLine) {
    CliInputs in;
    // Line 5 has 30 fields; table 10601 has 29 columns.
    WriteBytes(in.employee, CompanyBlock() + "[10601]\r\nE001,001,山田,太郎\r\n" +
                                std::string(29, ',') + "\r\n");
    const ProgramResult result = RunKw39pcaconv(in.Args({"--yes"}));
    EXPECT_EQ(result.status, 2);
    EXPECT_TRUE(Contains(result.err, Utf8Of("エラー (Error): 引数が正しくありません。\n") +
                                         in.employee + Utf8Of(" の 5 行目: ")))
        << result.err;
    EXPECT_EQ(CountOf(result.err, "(Error)"), 1u);
    EXPECT_FALSE(FileExists(in.output));
}

// A line of any length up to the limits is one line; a value longer than a
// value may be is refused with its place, and nothing is written.
TEST(Kw39pcaconv, LongDataLineIsOneLine) {
    CliInputs in;
    const std::string address(4095, 'A');
    WriteBytes(in.employee, CompanyBlock() + "[10601]\r\nE001,001,山田,太郎,,,,,,,,," + address +
                                "," + address + "\r\n");
    const ProgramResult result = RunKw39pcaconv(in.Args({"--yes"}));
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string document = ReadBytes(in.output);
    EXPECT_EQ(CountOf(document, "<SYAIN "), 1u);
    EXPECT_TRUE(Contains(document, "<JUUSYO_1>" + address + "</JUUSYO_1>"));

    std::filesystem::remove(in.output);
    WriteBytes(in.employee,
               CompanyBlock() + "[10601]\r\nE001,001,山田,太郎,,,,,,,,," + address + "A\r\n");
    const ProgramResult refused = RunKw39pcaconv(in.Args({"--yes"}));
    EXPECT_EQ(refused.status, 2);
    EXPECT_TRUE(Contains(refused.err, Utf8Of("の 4 行目: [10601] の 13 項目目が 4096 バイトあり、1 "
                                             "項目の上限 4095 バイトを超えています。")))
        << refused.err;
    EXPECT_FALSE(FileExists(in.output));
}

TEST(Kw39pcaconv, FolderFillsTheSlotsAndOptionsComeAfter) {
    TempDir folder;
    folder.Write("KAISHAQ.CSV", ValidSlotFile(0));
    folder.Write("kojinq.csv", CompanyBlock());  // not an employee file
    TempDir other;
    const std::string employee = other.Write("emp.csv", ValidSlotFile(3));
    const std::string output = other.File("out.xml");

    const ProgramResult chosen =
        RunKw39pcaconv({"--folder", folder.Path(), "--output", output, "--yes"});
    EXPECT_EQ(chosen.status, 1);
    EXPECT_TRUE(
        Contains(chosen.err, Utf8Of("警告 (Warning): 以下のファイルが存在しない、または同一のフ"
                                    "ァイルが複数存在するため選択できません。\n選択が必要な場合"
                                    "は、個別に選択をしてください。\n\n住民税納付先\n部門\n月"
                                    "次データ\n年末調整データ\n")))
        << chosen.err;
    EXPECT_TRUE(Contains(chosen.err, Utf8Of("社員情報ファイルが正しくありません。")));
    EXPECT_TRUE(Contains(chosen.err, "--employee / --folder"));

    const ProgramResult overridden = RunKw39pcaconv(
        {"--employee", employee, "--folder", folder.Path(), "--output", output, "--yes"});
    EXPECT_EQ(overridden.status, 0) << overridden.err;
    EXPECT_TRUE(FileExists(output));
}

TEST(Kw39pcaconv, OutputNameIsSuggestedInTheCurrentFolder) {
    struct Case {
        const char* companyName;  // CP932
        const char* fileName;     // CP932
    };
    for (const Case& c :
         {Case{"テスト商事", "0001テスト商事.XML"}, Case{"A/B商会", "0001A_B商会.XML"}}) {
        SCOPED_TRACE(c.fileName);
        TempDir work;
        const std::string company =
            work.Write("k.csv", CompanyBlock("0001", c.companyName) + "[10101]\r\n");
        const std::string employee =
            work.Write("e.csv", CompanyBlock("0001", c.companyName) + "[10601]\r\nE001\r\n");
        ProgramInput input;
        input.workingDirectory = work.Path();
        const ProgramResult result =
            RunKw39pcaconv({"--company", company, "--employee", employee, "--yes"}, input);
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_TRUE(Contains(result.err, Utf8Of(std::string("出力先 (output): ") + c.fileName)));
        EXPECT_TRUE(FileExists(work.File(Utf8Of(c.fileName))));
    }
}

TEST(Kw39pcaconv, SuggestionNeedsACompanyFile) {
    TempDir work;
    ProgramInput input;
    input.workingDirectory = work.Path();
    const ProgramResult result = RunKw39pcaconv({"--yes"}, input);
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(
        Contains(result.err, Utf8Of("警告 (Warning): 会社情報ファイルが選択されていません。\n")));
    EXPECT_TRUE(Contains(result.err, "--company / --output"));
}

}  // namespace
}  // namespace kw39::test
