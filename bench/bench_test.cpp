#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "convert/engine.h"
#include "generator.h"
#include "measure.h"
#include "report.h"
#include "spawn.h"
#include "support/test_support.h"

namespace kw39::bench {
namespace {

SizeResult Result(int employees, double total, double floor, std::uint64_t bytes, long rssKb) {
    SizeResult r;
    r.employees = employees;
    r.runs = 3;
    r.inputBytes = bytes;
    r.total = total;
    r.floor = floor;
    r.peakRssKb = rssKb;
    return r;
}

Measured Ok(const SizeResult& result) { return {result.employees, true, "", result}; }
Measured Failed(int employees, const char* why) { return {employees, false, why, {}}; }

TEST(BenchReportTest, TargetsAreJudgedFromTheRightSizes) {
    // 10,000 employees: 100 MB in 0.5 s (200 MB/s), floor 0.1 s (5x), RSS 1.2x.
    const Measured good10k = Ok(Result(10000, 0.5, 0.1, 100'000'000, 117'188));
    const Measured good50k = Ok(Result(50000, 2.6, 0.5, 500'000'000, 585'938));
    struct Case {
        const char* name;
        std::vector<Measured> sizes;
        std::vector<Outcome> expected;  // floor, speed, one RSS per size, scaling
    };
    const Case cases[] = {
        {"all met",
         {good10k, good50k},
         {Outcome::Pass, Outcome::Pass, Outcome::Pass, Outcome::Pass, Outcome::Pass}},
        {"slow and fat",
         {Ok(Result(10000, 0.8, 0.1, 100'000'000, 200'000)),
          Ok(Result(50000, 4.5, 0.5, 500'000'000, 585'938))},
         {Outcome::Fail, Outcome::Fail, Outcome::Fail, Outcome::Pass, Outcome::Fail}},
        {"50,000 not asked for",
         {good10k},
         {Outcome::Pass, Outcome::Pass, Outcome::Pass, Outcome::Skip}},
        {"50,000 timed out",
         {good10k, Failed(50000, "timed out after 60 s")},
         {Outcome::Pass, Outcome::Pass, Outcome::Pass, Outcome::Fail, Outcome::Fail}},
        {"10,000 failed",
         {Failed(10000, "the measuring process failed"), good50k},
         {Outcome::Fail, Outcome::Fail, Outcome::Fail, Outcome::Pass, Outcome::Fail}},
    };
    for (const Case& c : cases) {
        const auto verdicts = EvaluateTargets(c.sizes);
        ASSERT_EQ(verdicts.size(), c.expected.size()) << c.name;
        for (std::size_t i = 0; i < verdicts.size(); ++i)
            EXPECT_EQ(verdicts[i].outcome, c.expected[i])
                << c.name << ": " << verdicts[i].target << " (" << verdicts[i].detail << ")";
    }
    const auto timedOut = EvaluateTargets({good10k, Failed(50000, "timed out after 60 s")});
    EXPECT_EQ(timedOut.back().detail, "timed out after 60 s");
}

TEST(BenchReportTest, ResultLineSurvivesTheTripBetweenProcesses) {
    SizeResult sent = Result(10000, 1.25, 0.0375, 107'899'570, 202'824);
    sent.inputLines = 382'920;
    sent.outputBytes = 89'821'917;
    sent.stages = {0.029, 0.51, 0.301, 0.151, 0.042};
    sent.messages = 2;
    sent.memory = {150'000, 190'000};
    SizeResult received;
    ASSERT_TRUE(ParseResult("noise before\n" + FormatResult(sent) + "\n", received));
    EXPECT_EQ(received.employees, 10000);
    EXPECT_EQ(received.runs, 3);
    EXPECT_EQ(received.inputBytes, sent.inputBytes);
    EXPECT_EQ(received.inputLines, sent.inputLines);
    EXPECT_EQ(received.outputBytes, sent.outputBytes);
    EXPECT_DOUBLE_EQ(received.stages.convert, 0.301);
    EXPECT_DOUBLE_EQ(received.stages.write, 0.151);
    EXPECT_DOUBLE_EQ(received.stages.release, 0.042);
    EXPECT_DOUBLE_EQ(received.total, 1.25);
    EXPECT_DOUBLE_EQ(received.floor, 0.0375);
    EXPECT_EQ(received.peakRssKb, 202'824);
    EXPECT_EQ(received.messages, 2);
    EXPECT_EQ(received.memory.convert, 190'000);

    for (const char* broken : {"", "RESULT employees=10", "RESULT employees=x runs=1"})
        EXPECT_FALSE(ParseResult(broken, received)) << broken;
}

TEST(BenchMeasureTest, MeasuresAGeneratedSetEndToEnd) {
    test::TempDir dir;
    gen::GenerateOptions options;
    options.employees = 20;
    options.seed = 2;
    options.folder = dir.Path();
    std::uint64_t generated = 0;
    for (const auto& file : gen::GenerateSet(options)) generated += file.bytes;

    std::uint64_t bytes = 0, lines = 0;
    FloorPass(InputPaths(dir.Path()), bytes, lines);
    EXPECT_EQ(bytes, generated);
    EXPECT_GT(lines, 20u * 28u);

    const SizeResult r = MeasureSize(dir.Path(), 20, 2, 600);
    EXPECT_EQ(r.runs, 2);
    EXPECT_EQ(r.inputBytes, generated);
    EXPECT_EQ(r.inputLines, lines);
    EXPECT_EQ(r.messages, 0);
    EXPECT_GT(r.outputBytes, 20u * 1000u);
    EXPECT_GT(r.stages.load, 0);
    EXPECT_GT(r.stages.convert, 0);
    EXPECT_GT(r.stages.write, 0);
    EXPECT_GT(r.peakRssKb, 0);
    EXPECT_GT(r.memory.load, 0);
    EXPECT_GT(r.memory.convert, 0);
    EXPECT_FALSE(std::filesystem::exists(dir.File("bench-output.xml")));

    EXPECT_THROW(InputPaths(dir.File("missing")), std::runtime_error);

    // The steps the benchmark times one by one write the very document that
    // ConvertAndWriteDocument writes.
    int messages = 0;
    StageMemory memory;
    ConvertOnce(InputPaths(dir.Path()), dir.File("timed.xml"), messages, memory);
    platform::MessageLog port;
    CExchangeFromPCAToKw39 engine(port);
    ASSERT_TRUE(engine.Reader().ReadDataFiles(InputPaths(dir.Path()), 6));
    ASSERT_TRUE(engine.ConvertAndWriteDocument(dir.File("engine.xml"), kModeStandard, "1", "8"));
    EXPECT_EQ(test::ReadBytes(dir.File("timed.xml")), test::ReadBytes(dir.File("engine.xml")));
    EXPECT_TRUE(port.messages.empty());
}

// RunSelf starts this test program again: with a filter that matches no test
// it ends at once, repeated forever it has to be stopped.
TEST(BenchSpawnTest, ChildOutputExitCodeAndTimeout) {
    const ChildOutcome quick = RunSelf({"--gtest_filter=NoSuchTest.Anything"}, 60);
    EXPECT_FALSE(quick.timedOut);
    EXPECT_EQ(quick.exitCode, 0);
    EXPECT_NE(quick.output.find("0 tests"), std::string::npos) << quick.output;

    const ChildOutcome endless =
        RunSelf({"--gtest_filter=BenchReportTest.*", "--gtest_repeat=-1"}, 0.3);
    EXPECT_TRUE(endless.timedOut);
    EXPECT_EQ(endless.exitCode, -1);
}

}  // namespace
}  // namespace kw39::bench
