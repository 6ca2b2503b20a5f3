#include "run/execute_command.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <new>
#include <stdexcept>

#include "platform/io_error.h"
#include "run/conversion_report.h"
#include "run/input_slots.h"
#include "run_fixtures.h"

namespace kw39::test {
namespace {

const char kConfirm[] = "処理を開始します。\nよろしいですか？";
const char kDone[] = "正常に終了しました。";

LaunchContext Launch(int code) {
    LaunchContext launch;
    launch.launchCode = code;
    launch.defaultYear = "8";
    return launch;
}

// Years are checked first; a year that passes reaches the confirmation, where
// Cancel ends the command before anything is read for the run.
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
    for (const Case& c : cases) {
        SCOPED_TRACE(c.year);
        InputSet in;
        in.PutAllValid();
        in.port.texts[kIdYearBox] = c.year;
        in.port.answers = {MessageAnswer::Cancel};
        const CommandOutcome outcome = ExecuteCommand(in.port, Launch(kLaunchStandalone));
        ASSERT_EQ(in.port.messages.size(), 1u);
        if (c.accepted) {
            EXPECT_EQ(outcome, CommandOutcome::Cancelled);
            EXPECT_EQ(in.port.messages[0].text, kConfirm);
            EXPECT_EQ(in.port.messages[0].style, MessageStyle::Confirm);
            EXPECT_EQ(in.port.focus, 0);
        } else {
            EXPECT_EQ(outcome, CommandOutcome::YearRejected);
            EXPECT_EQ(in.port.messages[0].text, "正しい申告年度を指定してください。");
            EXPECT_EQ(in.port.messages[0].style, MessageStyle::Warning);
            EXPECT_EQ(in.port.focus, kIdYearBox);
        }
        EXPECT_FALSE(FileExists(in.OutputPath()));
    }
}

TEST(ExecuteCommand, InvalidYearHidesInvalidInputs) {
    InputSet in;  // no input file, so validation would complain too
    in.port.texts[kIdYearBox] = "0";
    EXPECT_EQ(ExecuteCommand(in.port, Launch(kLaunchStandalone)), CommandOutcome::YearRejected);
    ASSERT_EQ(in.port.messages.size(), 1u);
    EXPECT_EQ(in.port.messages[0].text, "正しい申告年度を指定してください。");
}

TEST(ExecuteCommand, FailedInputCheckEndsBeforeConfirmation) {
    InputSet in;
    in.Put(3, ValidSlotFile(3));
    EXPECT_EQ(ExecuteCommand(in.port, Launch(kLaunchHosted)), CommandOutcome::InputRejected);
    ASSERT_EQ(in.port.messages.size(), 1u);
    EXPECT_EQ(in.port.messages[0].text,
              "連動に必要なマスターファイルが存在しません。\n\n会社情報\n");
    EXPECT_EQ(in.port.focus, 1010);
    EXPECT_EQ(in.port.closeCount, 0);
}

TEST(ExecuteCommand, LockedOutputIsRejectedAndKept) {
    InputSet in;
    in.PutAllValid();
    const std::string output = in.dir.Write("out.xml", "keep me");
    const int fd = ::open(output.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    EXPECT_EQ(ExecuteCommand(in.port, Launch(kLaunchStandalone)), CommandOutcome::InputRejected);
    ::close(fd);
    ASSERT_EQ(in.port.messages.size(), 1u);
    EXPECT_EQ(in.port.messages[0].text, "ファイルの保存に失敗しました。");
    EXPECT_EQ(in.port.messages[0].style, MessageStyle::Error);
    EXPECT_EQ(ReadBytes(output), "keep me");
}

TEST(ExecuteCommand, CancelReadsNothingForTheRun) {
    InputSet in;
    in.PutAllValid();
    in.port.answers = {MessageAnswer::Cancel};
    TrackingFileSystem fs;
    EXPECT_EQ(ExecuteCommand(in.port, Launch(kLaunchHosted), fs), CommandOutcome::Cancelled);
    EXPECT_EQ(fs.opened.size(), 6u);  // the input checks only
    EXPECT_EQ(in.port.closeCount, 0);
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
        in.port.texts[kIdYearBox] = c.year;
        in.port.checked[kIdRadioStandard] = c.standard;
        in.port.checked[kIdRadioSimple] = !c.standard;
        EXPECT_EQ(ExecuteCommand(in.port, Launch(kLaunchStandalone)), CommandOutcome::Written);
        ASSERT_EQ(in.port.messages.size(), 2u);
        EXPECT_EQ(in.port.messages[0].text, kConfirm);
        EXPECT_EQ(in.port.messages[1].text, kDone);
        EXPECT_EQ(in.port.messages[1].style, MessageStyle::Info);
        EXPECT_EQ(in.port.closeCount, 0);
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
    RunRequest request = in.port.ReadRequest();
    request.launch = Launch(kLaunchStandalone);
    ConversionReport written;
    ASSERT_EQ(ConvertRequest(request, platform::RealFileSystem(), &written).outcome,
              CommandOutcome::Written);
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
    ConversionReport checked;
    const RunResult result = ConvertRequest(request, platform::RealFileSystem(), &checked);
    EXPECT_EQ(result.outcome, CommandOutcome::Checked);
    EXPECT_EQ(result.employees, 1u);
    EXPECT_EQ(result.documentPath, "");
    EXPECT_TRUE(result.messages.empty());
    EXPECT_EQ(files(), before);
    EXPECT_EQ(ReadBytes(request.outputPath), "previous");
    written.EndCompany(true);
    checked.EndCompany(true);
    EXPECT_EQ(checked.Csv(), written.Csv());
}

TEST(ExecuteCommand, PathsReachTheRunInSlotOrderWithoutGaps) {
    InputSet in;
    const std::string company = in.Put(0, ValidSlotFile(0));
    const std::string employee = in.Put(3, ValidSlotFile(3));
    TrackingFileSystem fs;
    EXPECT_EQ(ExecuteCommand(in.port, Launch(kLaunchStandalone), fs), CommandOutcome::Written);
    const std::vector<std::string> expected = {company, employee, company, employee};
    EXPECT_EQ(fs.opened, expected);
    EXPECT_EQ(fs.openInputs, 0);
}

TEST(ExecuteCommand, SecondRunGivesTheSameDocument) {
    InputSet in;
    in.PutAllValid();
    ASSERT_EQ(ExecuteCommand(in.port, Launch(kLaunchStandalone)), CommandOutcome::Written);
    const std::string first = ReadBytes(in.OutputPath());
    WriteBytes(in.OutputPath(), "stale");
    ASSERT_EQ(ExecuteCommand(in.port, Launch(kLaunchStandalone)), CommandOutcome::Written);
    EXPECT_EQ(ReadBytes(in.OutputPath()), first);
}

TEST(ExecuteCommand, HostedRunClosesTheDialogWhetherOrNotItWrote) {
    for (const bool withEmployee : {true, false}) {
        SCOPED_TRACE(withEmployee);
        InputSet in;
        in.PutAllValid();
        if (!withEmployee) in.Put(3, CompanyBlock() + "[10601]\r\n");
        const CommandOutcome outcome = ExecuteCommand(in.port, Launch(kLaunchHosted));
        EXPECT_EQ(outcome, withEmployee ? CommandOutcome::Written : CommandOutcome::NothingWritten);
        EXPECT_EQ(in.port.closeCount, 1);
        ASSERT_EQ(in.port.messages.size(), 1u);  // the confirmation, no completion message
        EXPECT_EQ(FileExists(in.OutputPath()), withEmployee);
        if (withEmployee) {
            EXPECT_TRUE(Contains(ReadBytes(in.OutputPath()), "<FUNCTIONID>3</FUNCTIONID>"));
        }
    }
}

TEST(ExecuteCommand, NoEmployeeStandaloneEndsSilently) {
    InputSet in;
    in.Put(0, ValidSlotFile(0));
    in.Put(3, CompanyBlock() + "[10601]\r\n");
    EXPECT_EQ(ExecuteCommand(in.port, Launch(kLaunchStandalone)), CommandOutcome::NothingWritten);
    ASSERT_EQ(in.port.messages.size(), 1u);
    EXPECT_EQ(in.port.messages[0].style, MessageStyle::Confirm);
    EXPECT_FALSE(FileExists(in.OutputPath()));
}

// A failure raised during the run ends the command with one Error message and
// leaves the dialog open, also when hosted.
TEST(ExecuteCommand, RaisedFailuresEndWithOneErrorMessage) {
    struct Case {
        const char* name;
        std::function<void()> fail;  // thrown from the run's reads of the employee file
        std::string message;         // "" : compare with the thrown text (set below)
    };
    const Case cases[] = {
        {"runtime error", [] { throw std::runtime_error("disk gone"); },
         "処理中にエラーが発生したため、処理を中止しました。\ndisk gone"},
        {"out of memory", [] { throw std::bad_alloc(); },
         std::string("メモリが不足したため、処理を中止しました。\n") + std::bad_alloc().what()},
        {"read error", [] { throw platform::ReadError("E:\\kojinq.csv"); },
         "ファイルの読み込みに失敗しました。\nE:\\kojinq.csv"},
    };
    for (const int launchCode : {kLaunchStandalone, kLaunchHosted}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            InputSet in;
            in.PutAllValid();
            TrackingFileSystem fs;
            fs.FailReads(in.port.texts[1015], 2, c.fail);  // the first opening is the check
            EXPECT_EQ(ExecuteCommand(in.port, Launch(launchCode), fs), CommandOutcome::Failed);
            ASSERT_EQ(in.port.messages.size(), 2u);
            EXPECT_EQ(in.port.messages[1].text, c.message);
            EXPECT_EQ(in.port.messages[1].style, MessageStyle::Error);
            EXPECT_EQ(in.port.closeCount, 0);
            EXPECT_EQ(fs.openInputs, 0);
            EXPECT_FALSE(FileExists(in.OutputPath()));
        }
    }
}

TEST(ExecuteCommand, MalformedDataLineNamesFileAndLine) {
    InputSet in;
    in.PutAllValid();
    // 30 fields for the 29 columns of table 10601, on line 5.
    const std::string path = in.Put(
        3, CompanyBlock() + "[10601]\r\nE001,001,山田,太郎\r\n" + std::string(29, ',') + "\r\n");
    in.port.texts[kIdYearBox] = "8";
    EXPECT_EQ(ExecuteCommand(in.port, Launch(kLaunchHosted)), CommandOutcome::Failed);
    ASSERT_EQ(in.port.messages.size(), 2u);
    const std::string where = "引数が正しくありません。\n" + path + " の 5 行目: ";
    EXPECT_EQ(in.port.messages[1].text.substr(0, where.size()), where);
    EXPECT_EQ(in.port.messages[1].style, MessageStyle::Error);
    EXPECT_EQ(in.port.closeCount, 0);
    EXPECT_FALSE(FileExists(in.OutputPath()));
}

TEST(ExecuteCommand, CompanyLineWithoutNameFailsBeforeConfirmation) {
    InputSet in;
    in.PutAllValid();
    const std::string path = in.Put(2, PcaLines({"[10301]", "001", "[10000]", "0001"}));
    EXPECT_EQ(ExecuteCommand(in.port, Launch(kLaunchStandalone)), CommandOutcome::Failed);
    ASSERT_EQ(in.port.messages.size(), 1u);
    const std::string where = "引数が正しくありません。\n" + path + " の 4 行目: ";
    EXPECT_EQ(in.port.messages[0].text.substr(0, where.size()), where);
    EXPECT_EQ(in.port.messages[0].style, MessageStyle::Error);
}

}  // namespace
}  // namespace kw39::test
