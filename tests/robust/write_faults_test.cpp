// A document that cannot be written completely must leave an existing output
// exactly as it was, leave no temporary file behind and end with one Error
// message that names the output, never with the completion message.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "cli/cli_run.h"
#include "cli/program.h"
#include "platform/encoding.h"
#include "robust_fixtures.h"
#include "run/input_slots.h"

namespace kw39::test {
namespace {

const char kWriteFailed[] = "ファイルの書き込みに失敗しました。";
const std::string kOld = "<old>\r\n";

std::vector<std::string> SortedInputsAnd(const MemoryRun& run, const std::string& output) {
    std::vector<std::string> paths;
    for (std::size_t s = 0; s < kSlotCount; ++s) paths.push_back(run.InputPath(s));
    if (!output.empty()) paths.push_back(output);
    std::sort(paths.begin(), paths.end());
    return paths;
}

// The checks of every failed write in memory.
void ExpectNoTrace(const MemoryRun& run, CommandOutcome outcome,
                   const std::optional<std::string>& old) {
    EXPECT_EQ(outcome, CommandOutcome::Failed);
    const std::vector<std::string> errors = MessagesOf(run.result, MessageStyle::Error);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(StartsWith(errors[0], kWriteFailed)) << errors[0];
    EXPECT_TRUE(Contains(errors[0], run.outputPath));
    // The error, nothing else.
    EXPECT_EQ(run.result.messages.size(), 1u);
    EXPECT_FALSE(ReportsSuccess(run.result));
    EXPECT_EQ(run.memory.Content(run.outputPath), old);
    EXPECT_EQ(run.memory.FilePaths(), SortedInputsAnd(run, old ? run.outputPath : ""));
}

// The document of the large set is written in several pieces; its size decides
// where the failure points lie.
constexpr std::size_t kExtraEmployees = 90;

std::size_t LargeDocumentSize() {
    MemoryRun run;
    run.SetInput(3, DemoEmployeesWith(kExtraEmployees));
    EXPECT_EQ(run.Execute(), CommandOutcome::Written);
    return run.memory.Content(run.outputPath).value_or("").size();
}

std::vector<std::size_t> FailurePoints(std::size_t size) {
    std::vector<std::size_t> points = {0, 1, 2, 4095, 4096};
    constexpr std::size_t kPiece = 256 * 1024;  // the writer's buffer
    for (std::size_t piece = kPiece; piece < size; piece += kPiece) {
        points.insert(points.end(), {piece - 1, piece, piece + 1});
    }
    for (std::size_t step = 1; step < 10; ++step) points.push_back(size * step / 10);
    points.insert(points.end(), {size - 2, size - 1});
    return points;
}

TEST(WriteFaults, AWriteFailingAtAnyPointKeepsTheOldOutput) {
    const std::size_t size = LargeDocumentSize();
    ASSERT_GT(size, 2u * 256 * 1024) << "the document must need several writes";
    for (const std::optional<std::string>& old :
         {std::optional<std::string>(kOld), std::optional<std::string>()}) {
        for (const std::size_t point : FailurePoints(size)) {
            SCOPED_TRACE("fails after " + std::to_string(point) + " bytes" +
                         (old ? ", with an old output" : ", no old output"));
            MemoryRun run(old);
            run.SetInput(3, DemoEmployeesWith(kExtraEmployees));
            run.faults.Writes().bytesBeforeFailing = point;
            ExpectNoTrace(run, run.Execute(), old);
            EXPECT_EQ(run.faults.BytesWritten(), point);
        }
    }
    // The same set with the failure point at the very end writes it whole.
    MemoryRun run(kOld);
    run.SetInput(3, DemoEmployeesWith(kExtraEmployees));
    run.faults.Writes().bytesBeforeFailing = size;
    EXPECT_EQ(run.Execute(), CommandOutcome::Written);
    EXPECT_EQ(run.memory.Content(run.outputPath)->size(), size);
    EXPECT_TRUE(ReportsSuccess(run.result));
}

TEST(WriteFaults, CreateCloseAndReplaceFailures) {
    struct Case {
        const char* name;
        std::function<void(WriteFaults&)> breakIt;
    };
    const Case cases[] = {
        // The folder refuses new files after the check found it writable.
        {"create", [](WriteFaults& w) { w.createsBeforeFailing = 1; }},
        {"close", [](WriteFaults& w) { w.closeFails = true; }},
        {"replace", [](WriteFaults& w) { w.replaceFails = true; }},
    };
    for (const Case& c : cases) {
        for (const int launchCode : {kLaunchStandalone, kLaunchHosted}) {
            SCOPED_TRACE(std::string(c.name) + " fails, launch code " + std::to_string(launchCode));
            MemoryRun run(kOld);
            c.breakIt(run.faults.Writes());
            ExpectNoTrace(run, run.Execute(launchCode), kOld);
            EXPECT_EQ(run.faults.FailuresRaised(), 1);
        }
    }
}

TEST(WriteFaults, AnOutputThatCannotBeWrittenIsRefusedBeforeTheRun) {
    {
        MemoryRun run(kOld);
        run.faults.Faults(run.outputPath).probeRefused = true;
        EXPECT_EQ(run.Execute(), CommandOutcome::InputRejected);
        ASSERT_EQ(run.result.messages.size(), 1u);
        EXPECT_EQ(run.result.messages[0].text, "ファイルの保存に失敗しました。");
        EXPECT_EQ(run.result.messages[0].style, MessageStyle::Error);
        EXPECT_EQ(run.memory.FilePaths(), SortedInputsAnd(run, run.outputPath));
        EXPECT_EQ(run.memory.Content(run.outputPath), kOld);
    }
    {
        // A folder that takes no new file (no permission, a name too long).
        MemoryRun run(kOld);
        run.faults.Writes().createsBeforeFailing = 0;
        EXPECT_EQ(run.Execute(), CommandOutcome::InputRejected);
        ASSERT_EQ(run.result.messages.size(), 1u);
        EXPECT_TRUE(StartsWith(run.result.messages[0].text, "出力先データを作成できません。"));
        EXPECT_EQ(run.result.field, RunField::Output);
        EXPECT_EQ(run.memory.FilePaths(), SortedInputsAnd(run, run.outputPath));
    }
}

// Real files: the sample company in a temporary folder.
struct FolderRun {
    FolderRun() {
        for (std::size_t s = 0; s < kSlotCount; ++s) {
            const std::string path = dir.Write("in" + std::to_string(s) + ".csv", DemoFiles()[s]);
            request.inputPaths[s] = path;
        }
        output = dir.Write("out.xml", kOld);
        request.outputPath = output;
        request.yearText = "8";
        request.mode = kModeStandard;
        request.launch.launchCode = kLaunchStandalone;
    }
    CommandOutcome Execute(platform::FileSystem& fs) {
        result = ExecuteRun(request, ScriptedAnswers().Function(), fs);
        return result.outcome;
    }
    void ExpectOldOutputAndNoTrace(CommandOutcome outcome) const {
        EXPECT_EQ(outcome, CommandOutcome::Failed);
        const std::vector<std::string> errors = MessagesOf(result, MessageStyle::Error);
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_TRUE(StartsWith(errors[0], kWriteFailed)) << errors[0];
        EXPECT_TRUE(Contains(errors[0], output));
        EXPECT_FALSE(ReportsSuccess(result));
        EXPECT_EQ(ReadBytes(output), kOld);
        const std::vector<std::string> expected = {"in0.csv", "in1.csv", "in2.csv", "in3.csv",
                                                   "in4.csv", "in5.csv", "out.xml"};
        // The inputs and the output only, nothing left over.
        EXPECT_EQ(FolderNames(dir.Path()), expected);
    }

    TempDir dir;
    RunRequest request;
    RunResult result;
    std::string output;
};

TEST(WriteFaults, RealFolderKeepsTheOldOutputAtEveryFailurePoint) {
    std::size_t size = 0;
    {
        FolderRun clean;
        ASSERT_EQ(clean.Execute(platform::RealFileSystem()), CommandOutcome::Written);
        size = ReadBytes(clean.output).size();
    }
    for (const std::size_t point : {std::size_t{0}, std::size_t{1}, size / 2, size - 1}) {
        SCOPED_TRACE("fails after " + std::to_string(point) + " bytes");
        FolderRun run;
        FaultFileSystem fs(platform::RealFileSystem());
        fs.Writes().bytesBeforeFailing = point;
        run.ExpectOldOutputAndNoTrace(run.Execute(fs));
    }
}

TEST(WriteFaults, FullDisk) {
    if (!FileExists("/dev/full")) GTEST_SKIP() << "no /dev/full on this system";
    FolderRun run;
    FaultFileSystem fs(platform::RealFileSystem());
    // Every byte of the document goes to a device that is always full.
    fs.Writes().redirectCreateTo = "/dev/full";
    run.ExpectOldOutputAndNoTrace(run.Execute(fs));
}

TEST(WriteFaults, OutputFolderWithoutWritePermission) {
    if (::geteuid() == 0) GTEST_SKIP() << "root ignores permissions; the create case covers this";
    FolderRun run;
    std::filesystem::permissions(run.dir.Path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    // The output itself may still be opened; the new document cannot be created
    // beside it.
    run.ExpectOldOutputAndNoTrace(run.Execute(platform::RealFileSystem()));
}

// The program reports the failure once, on standard error, and exits with 2.
TEST(WriteFaults, TheProgramReportsAFailedWriteOnce) {
    MemoryRun run(kOld);
    run.faults.Writes().bytesBeforeFailing = 100;
    testing::internal::CaptureStderr();
    const int status = cli::RunProgram(run.ProgramArgs(), run.faults);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, cli::kExitFailed);
    const std::string errorWord = *platform::Cp932ToUtf8("エラー (Error): ");
    const std::string failed = *platform::Cp932ToUtf8(kWriteFailed);
    EXPECT_EQ(err.find(errorWord), err.rfind(errorWord)) << err;
    EXPECT_TRUE(Contains(err, errorWord + failed)) << err;
    EXPECT_FALSE(Contains(err, *platform::Cp932ToUtf8("正常に終了しました。"))) << err;
    EXPECT_EQ(run.memory.Content(run.outputPath), kOld);
}

}  // namespace
}  // namespace kw39::test
