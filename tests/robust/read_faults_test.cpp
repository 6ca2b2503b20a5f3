// An input file that vanishes, cannot be opened or cannot be read between the
// input checks and the load: the run's rules decide what the user sees, and
// nothing is written over an existing output.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "cli/cli_run.h"
#include "cli/program.h"
#include "platform/encoding.h"
#include "robust_fixtures.h"
#include "run/input_slots.h"

namespace kw39::test {
namespace {

const std::string kOld = "<old>\r\n";

std::string ReadFailed(const std::string& path) {
    return "ファイルの読み込みに失敗しました。\n" + path;
}

struct ReadFaultCase {
    const char* name;
    std::size_t slot;
    int launchCode;
    std::function<void(PathFaults&, std::size_t size)> breakIt;
    CommandOutcome outcome;
    // The messages of the run (or of its checks, when they fail), with their
    // styles.
    std::function<std::vector<Message>(const std::string& path)> messages;
    bool confirmed;
};

std::vector<Message> ReadError(const std::string& path) {
    return {{ReadFailed(path), MessageStyle::Error}};
}

// The input checks stat and open each file once; the load reads it again from
// the handle the check opened. A file that cannot be read again that way (as
// these are not) is opened again by name, and one that is gone by then is
// named: it is never silently left out of the document.
const ReadFaultCase kCases[] = {
    {"employee file vanishes after the checks", 3, kLaunchStandalone,
     [](PathFaults& f, std::size_t) { f.statsBeforeVanishing = 1; }, CommandOutcome::Failed,
     ReadError, true},
    {"company file vanishes after the checks", 0, kLaunchStandalone,
     [](PathFaults& f, std::size_t) { f.statsBeforeVanishing = 1; }, CommandOutcome::Failed,
     ReadError, true},
    {"last file vanishes after the checks", 5, kLaunchStandalone,
     [](PathFaults& f, std::size_t) { f.statsBeforeVanishing = 1; }, CommandOutcome::Failed,
     ReadError, true},
    {"hosted: a vanished file is a failure", 3, kLaunchHosted,
     [](PathFaults& f, std::size_t) { f.statsBeforeVanishing = 1; }, CommandOutcome::Failed,
     ReadError, true},
    {"employee file can no longer be opened", 3, kLaunchStandalone,
     [](PathFaults& f, std::size_t) { f.opensBeforeFailing = 1; }, CommandOutcome::Failed,
     ReadError, true},
    {"monthly file read fails at once", 4, kLaunchStandalone,
     [](PathFaults& f, std::size_t) {
         f.opensBeforeReadFailing = 1;
         f.readBytesBeforeFailing = 0;
     },
     CommandOutcome::Failed, ReadError, true},
    {"monthly file read fails in the middle", 4, kLaunchStandalone,
     [](PathFaults& f, std::size_t size) {
         f.opensBeforeReadFailing = 1;
         f.readBytesBeforeFailing = size / 2;
     },
     CommandOutcome::Failed, ReadError, true},
    {"employee file read fails before its last byte", 3, kLaunchStandalone,
     [](PathFaults& f, std::size_t size) {
         f.opensBeforeReadFailing = 1;
         f.readBytesBeforeFailing = size - 1;
     },
     CommandOutcome::Failed, ReadError, true},
    {"hosted: a read error", 3, kLaunchHosted,
     [](PathFaults& f, std::size_t) {
         f.opensBeforeReadFailing = 1;
         f.readBytesBeforeFailing = 10;
     },
     CommandOutcome::Failed, ReadError, true},
    {"read fails already during the checks", 2, kLaunchStandalone,
     [](PathFaults& f, std::size_t) { f.readBytesBeforeFailing = 10; }, CommandOutcome::Failed,
     ReadError, false},
};

TEST(ReadFaults, InputsThatBreakAfterTheChecks) {
    for (const ReadFaultCase& c : kCases) {
        for (const bool hasOld : {true, false}) {
            SCOPED_TRACE(std::string(c.name) + (hasOld ? ", old output" : ", no old output"));
            MemoryRun run(hasOld ? std::optional<std::string>(kOld) : std::nullopt);
            const std::string path = run.InputPath(c.slot);
            c.breakIt(run.faults.Faults(path), DemoFiles()[c.slot].size());
            EXPECT_EQ(run.Execute(c.launchCode), c.outcome);

            EXPECT_EQ(run.answers.asked.size(), c.confirmed ? 1u : 0u);
            const std::vector<Message> expected = c.messages(path);
            ASSERT_EQ(run.result.messages.size(), expected.size());
            for (std::size_t i = 0; i < expected.size(); ++i) {
                EXPECT_EQ(run.result.messages[i].text, expected[i].text);
                EXPECT_EQ(run.result.messages[i].style, expected[i].style);
            }
            // Nothing was written, not even a temporary file is left.
            std::vector<std::string> expectedPaths;
            for (std::size_t s = 0; s < kSlotCount; ++s) expectedPaths.push_back(run.InputPath(s));
            if (hasOld) expectedPaths.push_back(run.outputPath);
            std::sort(expectedPaths.begin(), expectedPaths.end());
            EXPECT_EQ(run.memory.FilePaths(), expectedPaths);
            EXPECT_EQ(run.memory.Content(run.outputPath),
                      hasOld ? std::optional<std::string>(kOld) : std::nullopt);
        }
    }
}

// The vanished file is the first one the load cannot find: the files before it
// were read, the ones after it were not even looked at.
// A file that exists but cannot be opened is refused with a message that
// names it, and the focus goes to its slot: the check is never silent.
TEST(ReadFaults, AnInputThatCannotBeOpenedIsNamed) {
    MemoryRun run(kOld);
    run.faults.Faults(run.InputPath(3)).opensBeforeFailing = 0;
    EXPECT_EQ(run.Execute(), CommandOutcome::InputRejected);
    ASSERT_EQ(run.result.messages.size(), 1u);
    EXPECT_EQ(run.result.messages[0].text,
              "社員情報ファイルを開けません。\n\n" + run.InputPath(3) +
                  "\n\nファイルを読み取る権限があるか、ほかのプログラム"
                  "が使用していないかを確認してください。");
    EXPECT_EQ(run.result.field, RunField::Input);
    EXPECT_EQ(run.result.slot, 3u);
    EXPECT_EQ(run.memory.Content(run.outputPath), kOld);
}

TEST(ReadFaults, TheLoadStopsAtTheVanishedFile) {
    MemoryRun run;
    run.faults.Faults(run.InputPath(2)).statsBeforeVanishing = 1;
    EXPECT_EQ(run.Execute(), CommandOutcome::Failed);
    EXPECT_EQ(run.faults.OpenCount(run.InputPath(1)), 2);
    EXPECT_EQ(run.faults.OpenCount(run.InputPath(3)), 1);
    EXPECT_EQ(run.faults.StatCount(run.InputPath(3)), 1);
}

// The program says which file vanished (status 2) and that nothing was written.
TEST(ReadFaults, TheProgramReportsAVanishedFile) {
    MemoryRun run(kOld);
    run.faults.Faults(run.InputPath(4)).statsBeforeVanishing = 1;
    testing::internal::CaptureStderr();
    const int status = cli::RunProgram(run.ProgramArgs(), run.faults);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, cli::kExitFailed);
    EXPECT_TRUE(Contains(err, *platform::Cp932ToUtf8(ReadFailed(run.InputPath(4))))) << err;
    EXPECT_EQ(run.memory.Content(run.outputPath), kOld);
}

}  // namespace
}  // namespace kw39::test
