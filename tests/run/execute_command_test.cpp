#include "run/execute_command.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <new>
#include <stdexcept>

#include "platform/io_error.h"
#include "run/conversion_report.h"
#include "run/findings_list.h"
#include "run/input_slots.h"
#include "run/payment_year.h"
#include "run/run_description.h"
#include "run/validate_input.h"
#include "run_fixtures.h"

namespace kw39::test {
namespace {

const char kConfirm[] = "処理を開始します。\nよろしいですか？";
const char kDone[] = "正常に終了しました。";

// The run of `in` with its questions answered by `answers`.
RunResult Execute(const InputSet& in, ScriptedAnswers& answers,
                  platform::FileSystem& fs = platform::RealFileSystem()) {
    return ExecuteRun(in.request, answers.Function(), fs);
}

// Years are checked first, before the inputs; a year that passes leads to the
// confirmation, and nothing is written before it is answered.
TEST(ExecuteCommand, YearCheck) {
    struct Case {
        const char* year;
        bool accepted;
    };
    const Case cases[] = {
        {"0", false},
        {"99", false},
        {"-1", false},
        {"abc", false},
        {"", false},
        {"２６", false},
        {"1", true},
        {"98", true},
        {" 26", true},
        {"26年", true},
        {"+26", true},
        {"99999999999999999999", false},
        {"0026", true},
        {"-99999999999999999999", false},
        // Written into the document as typed: no control character, whole
        // Shift_JIS characters only.
        {"8\x1b[2J", false},
        {"8\x7f", false},
        {"8\t", false},
        {"\t8", false},
        {"8\n", false},
        {"8\r", false},
        {"8\x01", false},
        {"8\x80", false},
        {"8\xfd", false},
        {"8\x82", false},  // a lead byte without its trail
        {"8\x82\x0a", false},
        {"8年度", true},
        {"8 ", true},
        {"8\xb1", true},  // a single-byte katakana
    };
    for (const bool withInputs : {true, false}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.year);
            InputSet in;
            if (withInputs) in.PutAllValid();
            in.request.yearText = c.year;
            const RunStart start = StartRun(in.request);
            if (c.accepted) {
                if (!withInputs) continue;  // the inputs' checks refuse it
                EXPECT_FALSE(start.refused);
                ASSERT_EQ(start.questions.size(), 1u);
                EXPECT_EQ(start.questions[0].message.text, kConfirm);
                EXPECT_EQ(start.questions[0].message.style, MessageStyle::Confirm);
            } else {
                ASSERT_TRUE(start.refused);
                EXPECT_EQ(start.refused->outcome, CommandOutcome::YearRejected);
                ASSERT_EQ(start.refused->messages.size(), 1u);
                EXPECT_EQ(start.refused->messages[0].text, "正しい申告年度を指定してください。");
                EXPECT_EQ(start.refused->messages[0].style, MessageStyle::Warning);
                EXPECT_EQ(start.refused->whyNot, "正しい申告年度を指定してください。");
                EXPECT_EQ(start.refused->field, RunField::Year);
                EXPECT_TRUE(start.questions.empty());
            }
            EXPECT_FALSE(FileExists(in.OutputPath()));
        }
    }
}

TEST(ExecuteCommand, FailedInputCheckEndsBeforeAnyQuestion) {
    InputSet in;
    in.Put(3, ValidSlotFile(3));
    ScriptedAnswers answers;
    const RunResult result = Execute(in, answers);
    EXPECT_EQ(result.outcome, CommandOutcome::InputRejected);
    EXPECT_TRUE(answers.asked.empty());
    ASSERT_EQ(result.messages.size(), 1u);
    EXPECT_EQ(result.messages[0].text,
              "連動に必要なマスターファイルが存在しません。\n\n会社情報\n");
    EXPECT_EQ(result.field, RunField::Input);
    EXPECT_EQ(result.slot, 0u);
}

TEST(ExecuteCommand, CancelReadsNothingForTheRun) {
    InputSet in;
    in.PutAllValid();
    ScriptedAnswers answers({false});
    TrackingFileSystem fs;
    const RunResult result = Execute(in, answers, fs);
    EXPECT_EQ(result.outcome, CommandOutcome::Cancelled);
    EXPECT_EQ(result.whyNot, "中止しました。");
    EXPECT_EQ(result.field, RunField::None);
    EXPECT_TRUE(result.messages.empty());
    EXPECT_EQ(fs.opened.size(), 6u);  // the input checks only
    EXPECT_FALSE(FileExists(in.OutputPath()));
}

TEST(ExecuteCommand, StandaloneRunWritesAndReports) {
    struct Case {
        const char* year;
        bool standard;
        const char* yearElement;
        const char* modeElement;
    };
    const Case cases[] = {
        {"8", true, "<SINKOKUNENDO>8</SINKOKUNENDO>", "<MODE>NORMAL</MODE>"},
        {" 26", false, "<SINKOKUNENDO> 26</SINKOKUNENDO>", "<MODE>EASY</MODE>"},
        {"26年", true, "<SINKOKUNENDO>26年</SINKOKUNENDO>", "<MODE>NORMAL</MODE>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.year);
        InputSet in;
        in.PutAllValid();
        in.request.yearText = c.year;
        in.request.mode = c.standard ? kModeStandard : kModeSimple;
        ScriptedAnswers answers;
        const RunResult result = Execute(in, answers);
        EXPECT_EQ(result.outcome, CommandOutcome::Written);
        ASSERT_EQ(answers.asked.size(), 1u);
        EXPECT_EQ(answers.asked[0].text, kConfirm);
        ASSERT_EQ(result.messages.size(), 1u);
        EXPECT_EQ(result.messages[0].text, kDone);
        EXPECT_EQ(result.messages[0].style, MessageStyle::Info);
        EXPECT_EQ(result.documentPath, in.OutputPath());
        EXPECT_EQ(result.employees, 1u);
        EXPECT_EQ(result.whyNot, "");
        const std::string document = ReadBytes(in.OutputPath());
        EXPECT_TRUE(Contains(document, c.yearElement));
        EXPECT_TRUE(Contains(document, c.modeElement));
        EXPECT_TRUE(Contains(document, "<FUNCTIONID>1</FUNCTIONID>"));
        EXPECT_TRUE(Contains(document, "<KOMONSAKINAME>テスト商事</KOMONSAKINAME>"));
        EXPECT_TRUE(Contains(document, "CODE=\"E001\""));
    }
}

// A request without document is converted as a real run (the same findings)
// and creates no file at all, not even a temporary one, however often it
// runs; an old document stays.
TEST(ExecuteCommand, ARequestWithoutDocumentConvertsAndCreatesNothing) {
    InputSet in;
    in.PutAllValid();
    RunRequest request = in.request;
    const RunResult written = ConvertRequest(request);
    ASSERT_EQ(written.outcome, CommandOutcome::Written);
    WriteBytes(request.outputPath, "previous");
    const auto files = [&in] {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(in.dir.Path())) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    };
    const std::vector<std::string> before = files();

    request.writeDocument = false;
    const RunResult result = ConvertRequest(request);
    EXPECT_EQ(result.outcome, CommandOutcome::Checked);
    EXPECT_EQ(result.employees, 1u);
    EXPECT_EQ(result.documentPath, "");
    const std::string text =
        "チェックが正常に終了しました (社員 1 名)。出力ファイルは作成していません。";
    EXPECT_EQ(result.whyNot, text);
    ASSERT_EQ(result.messages.size(), 1u);
    EXPECT_EQ(result.messages[0].text, text);
    EXPECT_EQ(result.messages[0].style, MessageStyle::Info);
    EXPECT_EQ(files(), before);
    EXPECT_EQ(ReadBytes(request.outputPath), "previous");
    ConversionReport reports[2];
    reports[0].Add({}, written);
    reports[1].Add({}, result);
    EXPECT_EQ(ListFindings(reports[1]).rows, ListFindings(reports[0]).rows);
}

TEST(ExecuteCommand, PathsReachTheRunInSlotOrderWithoutGaps) {
    InputSet in;
    const std::string company = in.Put(0, ValidSlotFile(0));
    const std::string employee = in.Put(3, ValidSlotFile(3));
    TrackingFileSystem fs;
    ScriptedAnswers answers;
    EXPECT_EQ(Execute(in, answers, fs).outcome, CommandOutcome::Written);
    const std::vector<std::string> expected = {company, employee, company, employee};
    EXPECT_EQ(fs.opened, expected);
    EXPECT_EQ(fs.openInputs, 0);
}

// The year, the document name, the checks and the report of one request share
// one reading of each input: every file is opened once, in the order the steps
// first ask for it, and the run itself reads through the checked handles.
TEST(ExecuteCommand, StepsOfARequestOpenEachInputOnce) {
    InputSet in;
    in.PutAllValid();
    const std::string monthly =
        in.Put(kMonthlySlot, ValidSlotFile(kMonthlySlot) + "[10702]\r\nE001,1,20260125\r\n");
    in.request.exports = std::make_shared<ExportFiles>();
    TrackingFileSystem fs;
    EXPECT_EQ(PaymentYearOf(monthly, fs, in.request.exports.get()), 2026);
    EXPECT_EQ(ProposeOutputFileName(in.request.inputPaths[0], fs, in.request.exports.get()).name,
              "0001テスト商事.XML");
    const RunStart start = StartRun(in.request, fs);
    ASSERT_FALSE(start.refused);
    EXPECT_EQ(DescribeRun(in.request, fs).companyName, "テスト商事");
    std::vector<std::string> expected = {monthly, in.request.inputPaths[0]};
    for (std::size_t s = 1; s < kSlotCount; ++s) {
        if (s != kMonthlySlot) expected.push_back(in.request.inputPaths[s]);
    }
    EXPECT_EQ(fs.opened, expected);
}

TEST(ExecuteCommand, SecondRunGivesTheSameDocument) {
    InputSet in;
    in.PutAllValid();
    ScriptedAnswers answers;
    ASSERT_EQ(Execute(in, answers).outcome, CommandOutcome::Written);
    const std::string first = ReadBytes(in.OutputPath());
    WriteBytes(in.OutputPath(), "stale");
    ASSERT_EQ(Execute(in, answers).outcome, CommandOutcome::Written);
    EXPECT_EQ(ReadBytes(in.OutputPath()), first);
}

// A hosted run says nothing when it is done (the host takes over), and a run
// without employee says nothing either, hosted or not: it only tells why
// nothing was written.
TEST(ExecuteCommand, HostedAndEmptyRunsEndWithoutMessage) {
    for (const int launchCode : {kLaunchStandalone, kLaunchHosted}) {
        for (const bool withEmployee : {true, false}) {
            SCOPED_TRACE(withEmployee);
            InputSet in;
            in.PutAllValid();
            in.request.launch.launchCode = launchCode;
            if (!withEmployee) in.Put(3, CompanyBlock() + "[10601]\r\n");
            ScriptedAnswers answers;
            const RunResult result = Execute(in, answers);
            EXPECT_EQ(result.outcome,
                      withEmployee ? CommandOutcome::Written : CommandOutcome::NothingWritten);
            EXPECT_EQ(answers.asked.size(), 1u);  // the confirmation
            EXPECT_EQ(result.messages.empty(), !withEmployee || launchCode == kLaunchHosted);
            EXPECT_EQ(result.whyNot,
                      withEmployee
                          ? ""
                          : "社員データが読み込まれなかったため、出力ファイルは作成していません。");
            EXPECT_EQ(FileExists(in.OutputPath()), withEmployee);
            if (withEmployee && launchCode == kLaunchHosted) {
                EXPECT_TRUE(Contains(ReadBytes(in.OutputPath()), "<FUNCTIONID>3</FUNCTIONID>"));
            }
        }
    }
}

// A failure raised during the run ends it with one Error message, which is
// also why nothing was written.
TEST(ExecuteCommand, RaisedFailuresEndWithOneErrorMessage) {
    struct Case {
        const char* name;
        std::function<void()> fail;  // thrown from the run's reads of the employee file
        std::string message;
    };
    const Case cases[] = {
        {"runtime error", [] { throw std::runtime_error("disk gone"); },
         "処理中にエラーが発生したため、処理を中止しました。\ndisk gone"},
        {"out of memory", [] { throw std::bad_alloc(); },
         std::string("メモリが不足したため、処理を中止しました。\n") + std::bad_alloc().what()},
        {"read error", [] { throw platform::ReadError("E:\\kojinq.csv"); },
         "ファイルの読み込みに失敗しました。\nE:\\kojinq.csv"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        InputSet in;
        in.PutAllValid();
        TrackingFileSystem fs;
        fs.FailReads(in.request.inputPaths[3], 2, c.fail);  // the first opening is the check
        ScriptedAnswers answers;
        const RunResult result = Execute(in, answers, fs);
        EXPECT_EQ(result.outcome, CommandOutcome::Failed);
        ASSERT_EQ(result.messages.size(), 1u);
        EXPECT_EQ(result.messages[0].text, c.message);
        EXPECT_EQ(result.messages[0].style, MessageStyle::Error);
        EXPECT_EQ(result.whyNot, c.message);
        EXPECT_EQ(fs.openInputs, 0);
        EXPECT_FALSE(FileExists(in.OutputPath()));
    }
}

// A malformed data line fails the run, or already its checks when it is the
// company line; either way the message names the file and the line.
TEST(ExecuteCommand, MalformedDataLineNamesFileAndLine) {
    struct Case {
        std::size_t slot;
        std::string content;
        std::size_t line;
        std::size_t asked;  // questions before the failure
    };
    const Case cases[] = {
        // 30 fields for the 29 columns of table 10601, on line 5.
        {3, CompanyBlock() + "[10601]\r\nE001,001,山田,太郎\r\n" + std::string(29, ',') + "\r\n", 5,
         1},
        {2, PcaLines({"[10301]", "001", "[10000]", "0001"}), 4, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.slot);
        InputSet in;
        in.PutAllValid();
        const std::string path = in.Put(c.slot, c.content);
        ScriptedAnswers answers;
        const RunResult result = Execute(in, answers);
        EXPECT_EQ(result.outcome, CommandOutcome::Failed);
        EXPECT_EQ(answers.asked.size(), c.asked);
        ASSERT_EQ(result.messages.size(), 1u);
        const std::string where =
            "引数が正しくありません。\n" + path + " の " + std::to_string(c.line) + " 行目: ";
        EXPECT_EQ(result.messages[0].text.substr(0, where.size()), where);
        EXPECT_EQ(result.messages[0].style, MessageStyle::Error);
        EXPECT_FALSE(FileExists(in.OutputPath()));
    }
}

}  // namespace
}  // namespace kw39::test
