// The progress line on a terminal, on a clock the test moves by hand, and the
// exit status of a batch.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "cli/counting_file_system.h"
#include "cli/progress_line.h"
#include "cli/run_progress.h"
#include "run/input_slots.h"
#include "run_fixtures.h"
#include "support/test_support.h"

namespace kw39::test {
namespace {

using cli::ProgressLine;

// What a ProgressLine writes, on a clock that stands still until moved.
struct FakeTerminal {
    ProgressLine Line() {
        return ProgressLine([this](std::string_view text) { written += text; },
                            [this] { return now; });
    }
    std::int64_t now = 1000;
    std::string written;
};

TEST(ProgressLineTest, DrawsAtMostTenTimesASecondAndNeverBeforeTheFirstInterval) {
    FakeTerminal terminal;
    ProgressLine line = terminal.Line();
    int updates = 0;
    // Three seconds of updates every millisecond.
    for (int ms = 0; ms < 3000; ++ms, ++terminal.now) {
        line.Update("n " + std::to_string(ms));
        ++updates;
    }
    std::size_t draws = 0;
    for (const char c : terminal.written) draws += c == '\r' ? 1 : 0;
    EXPECT_EQ(updates, 3000);
    EXPECT_EQ(draws, 29u);  // at 100, 200, ... 2900 ms
    EXPECT_TRUE(terminal.written.starts_with("\rn 100\rn 200"));
    EXPECT_EQ(terminal.written.find('\n'), std::string::npos);  // it never scrolls

    // A quick run shows nothing at all.
    FakeTerminal quick;
    ProgressLine quickLine = quick.Line();
    quickLine.Update("a");
    quick.now += 99;
    quickLine.Update("b");
    quickLine.Clear();
    EXPECT_EQ(quick.written, "");
}

TEST(ProgressLineTest, RedrawsInPlaceAndIsErasedBeforeAMessage) {
    struct Step {
        std::int64_t advance;  // ms before the step
        const char* update;    // nullptr: Clear()
        const char* written;   // what this step writes
    };
    const std::vector<Step> steps = {
        {100, "読み込み 1.0 MB", "\r[1/2] A: 読み込み 1.0 MB"},
        {100, "変換 3 名", "\r[1/2] A: 変換 3 名      \r[1/2] A: 変換 3 名"},
        {0, nullptr, "\r                  \r"},  // blanks over the 18 columns drawn
        {0, nullptr, ""},                        // nothing drawn since: nothing to erase
        {50, "x", ""},                           // the interval starts again after a break
        {50, "y", "\r[1/2] A: y"},
    };
    FakeTerminal terminal;
    ProgressLine line = terminal.Line();
    line.SetPrefix("[1/2] A: ");
    for (const Step& step : steps) {
        SCOPED_TRACE(step.update ? step.update : "break");
        terminal.now += step.advance;
        terminal.written.clear();
        if (step.update) {
            line.Update(step.update);
        } else {
            line.Clear();
        }
        EXPECT_EQ(terminal.written, step.written);
    }
}

TEST(ProgressLineTest, ALongLineIsClippedBeforeTheRightEdgeOnACharacterBoundary) {
    FakeTerminal terminal;
    ProgressLine line = terminal.Line();
    line.SetPrefix(std::string(78, 'x'));
    terminal.now += 100;
    line.Update("社員");  // the first double-byte character would end at column 80
    EXPECT_EQ(terminal.written, "\r" + std::string(78, 'x'));
    terminal.written.clear();
    line.SetPrefix(std::string(77, 'x'));
    terminal.now += 100;
    line.Update("社員");
    EXPECT_EQ(terminal.written, "\r" + std::string(77, 'x') + "社");
}

TEST(RunProgressTest, FollowsTheRunFromChecksToWriting) {
    TempDir dir;
    const std::string company = dir.Write("k.csv", std::string(1024 * 1024, 'k'));
    const std::string employee = dir.Write("e.csv", std::string(1024 * 1024 + 1, 'e'));
    RunRequest request;
    request.inputPaths[0] = company;
    request.inputPaths[3] = employee;

    FakeTerminal terminal;
    ProgressLine line = terminal.Line();
    cli::ProgressOfRun progress(line, request, platform::RealFileSystem());
    EXPECT_EQ(cli::ChosenInputBytes(request, platform::RealFileSystem()), 2u * 1024 * 1024 + 1);

    // Moves the clock past the interval and forgets what was written.
    const auto later = [&terminal] {
        terminal.now += ProgressLine::kIntervalMs;
        terminal.written.clear();
    };
    // Reads a whole file at once through the counting file system.
    const auto readAll = [&progress](const std::string& path) {
        auto file = progress.Fs().OpenRead(path);
        std::string buffer(4 * 1024 * 1024, '\0');
        while (file->Read(buffer.data(), buffer.size()) > 0) {
        }
    };
    later();
    readAll(company);
    EXPECT_EQ(terminal.written, "\r入力チェック (checking) 1.0 / 2.0 MB");
    later();
    const Question confirmation{{platform::TextOf(MessageId::Confirm), MessageStyle::Confirm}};
    EXPECT_TRUE(progress.Ask(confirmation, [](const Question&) { return true; }));
    // The line is erased before the question.
    const std::string_view drawn = "入力チェック (checking) 1.0 / 2.0 MB";
    EXPECT_EQ(terminal.written, "\r" + std::string(drawn.size(), ' ') + "\r");
    later();
    readAll(employee);  // loading counts from zero again
    EXPECT_EQ(terminal.written, "\r読み込み (reading) 1.0 / 2.0 MB");

    ConversionObserver& observer = *progress.Observer();
    later();
    observer.ConversionStarted("テスト", 3);
    observer.EmployeeConverted("1", "a");  // too soon to draw again
    observer.Found(RowMissing{"1", "10603"});
    EXPECT_TRUE(terminal.written.starts_with("\r変換 (converting) 社員 0 / 3 名"))
        << terminal.written;
    later();
    observer.EmployeeConverted("2", "b");
    EXPECT_TRUE(terminal.written.starts_with("\r変換 (converting) 社員 2 / 3 名"));
    // A document written while employees are still converted.
    auto out = progress.Fs().CreateNew(dir.File("out.xml"));
    const std::string part(2 * 1024 * 1024, 'x');
    later();
    out->Write(part.data(), part.size());
    EXPECT_EQ(terminal.written, "\r変換 (converting) 社員 2 / 3 名, 書き込み (writing) 2.0 MB");
    observer.EmployeeConverted("3", "c");
    later();
    out->Write(part.data(), part.size());
    out->Close();
    EXPECT_TRUE(terminal.written.starts_with("\r書き込み (writing) 4.0 MB, 社員 3 名"));
    EXPECT_EQ(ReadBytes(dir.File("out.xml")), part + part);
}

// A run that reads little shows no progress however slow it is; a larger one
// is drawn and erased at the end.
TEST(RunProgressTest, DrawnOnlyForRunsOfAFewMegabytes) {
    struct Case {
        std::size_t addressBytes;  // of each of the 2,000 employees
        bool drawn;
    };
    for (const Case& c : {Case{25, false}, Case{2500, true}}) {
        SCOPED_TRACE(c.addressBytes);
        TempDir dir;
        std::string employees = CompanyBlock() + "[10601]\r\n";
        for (int i = 0; i < 2000; ++i) {
            employees += "E" + std::to_string(i) + ",,a,b,,,,,,,,," +
                         std::string(c.addressBytes, 'A') + "\r\n";
        }
        RunRequest request;
        request.yearText = "8";
        request.inputPaths[0] = dir.Write("k.csv", ValidSlotFile(0));
        request.inputPaths[3] = dir.Write("e.csv", employees);
        request.outputPath = dir.File("out.xml");
        request.launch.launchCode = kLaunchStandalone;
        EXPECT_EQ(cli::ChosenInputBytes(request, platform::RealFileSystem()) >=
                      cli::kProgressMinimumBytes,
                  c.drawn);

        // A clock on which every update is due: a second passes at each look.
        FakeTerminal terminal;
        ProgressLine line([&terminal](std::string_view text) { terminal.written += text; },
                          [&terminal] { return terminal.now += 1000; });
        const RunResult result = cli::ExecuteRequest(
            request, [](const Question&) { return true; }, platform::RealFileSystem(), &line);
        ASSERT_EQ(result.outcome, CommandOutcome::Written);
        EXPECT_EQ(terminal.written.empty(), !c.drawn) << terminal.written;
        if (c.drawn) {
            // The last thing written erases the line it drew.
            EXPECT_TRUE(terminal.written.ends_with(" \r"));
            const std::size_t erase = terminal.written.rfind('\r', terminal.written.size() - 2);
            EXPECT_EQ(terminal.written.find_first_not_of(' ', erase + 1),
                      terminal.written.size() - 1);
        }
    }
}

// A part of a file read at an offset, as a second thread reads a large section
// or the second half of a file, counts as the file's own reads do.
TEST(RunProgressTest, APartReadAtAnOffsetCounts) {
    struct Bytes : cli::ByteListener {
        void BytesRead(std::size_t count) override { read += count; }
        void BytesWritten(std::size_t) override {}
        std::size_t read = 0;
    } bytes;
    TempDir dir;
    const std::string path = dir.Write("f.csv", std::string(1000, 'x'));
    if (!platform::RealFileSystem().OpenRead(path)->ReadAt(0)) GTEST_SKIP() << "no ReadAt here";
    cli::CountingFileSystem fs(platform::RealFileSystem(), bytes);
    const std::unique_ptr<platform::InputFile> file = fs.OpenRead(path);
    const std::unique_ptr<platform::InputFile> part = file->ReadAt(600);
    ASSERT_NE(part, nullptr);
    char buffer[2000];
    EXPECT_EQ(part->Read(buffer, sizeof buffer), 400u);
    EXPECT_EQ(bytes.read, 400u);
}

TEST(ExitStatusTest, TheWorstStatusOfABatch) {
    struct Case {
        std::vector<int> statuses;
        int worst;
    };
    const std::vector<Case> cases = {
        {{}, 0},        {{0, 0}, 0}, {{0, 3}, 3},    {{3, 4}, 4},    {{4, 3}, 4},
        {{4, 1, 3}, 1}, {{1, 4}, 1}, {{2, 1, 4}, 2}, {{0, 2, 0}, 2}, {{1, 2}, 2},
    };
    for (const Case& c : cases) {
        int worst = 0;
        for (const int status : c.statuses) worst = cli::WorseStatus(worst, status);
        EXPECT_EQ(worst, c.worst) << ::testing::PrintToString(c.statuses);
    }
}

}  // namespace
}  // namespace kw39::test
