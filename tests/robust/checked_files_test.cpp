// Between the checks and the writing the clerk answers the confirmation, and
// a long conversion takes its time. Whoever may rename files in the folders
// meanwhile must get nothing by it: the document is made of the inputs as
// they were checked and lands where the check said, or nothing is replaced.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include "robust_fixtures.h"
#include "run/input_slots.h"

namespace kw39::test {
namespace {

bool IsFifo(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
}

void MakeFifo(const std::string& path) {
    std::filesystem::remove(path);
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
}

struct Files {
    std::string in;         // the company's folder
    std::string out;        // the file the check found to write
    std::string given;      // the output as the user gave it
    std::string employees;  // the employee file's checked content
};

struct Case {
    const char* name;
    bool givenAsLink;  // the user's own link to `out`
    bool oldOutput;
    std::function<void(const Files&)> meanwhile;
    CommandOutcome outcome;
    std::function<void(const Files&, const RunResult&)> expect;
};

void ExpectDocumentOfCheckedInputs(const Files& files, const RunResult&) {
    const std::string document = ReadBytes(files.out);
    EXPECT_TRUE(Contains(document, "CODE=\"1001\"")) << "the checked employees are missing";
    EXPECT_FALSE(Contains(document, "CODE=\"5000\"")) << "an exchanged input entered the document";
}

void ExpectNothingReplaced(const Files& files, const RunResult& result) {
    const std::vector<std::string> errors = MessagesOf(result, MessageStyle::Error);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(Contains(errors[0], "置き換えられたため、書き込みませんでした")) << errors[0];
    EXPECT_TRUE(Contains(errors[0], files.out)) << errors[0];
}

TEST(CheckedFiles, NothingExchangedDuringTheQuestionIsWrittenOverOrRead) {
    const Case cases[] = {
        {"the output link re-pointed at the employee file", true, true,
         [](const Files& f) {
             std::filesystem::remove(f.given);
             std::filesystem::create_symlink(f.in + "/KOJINQ.CSV", f.given);
         },
         CommandOutcome::Written,
         [](const Files& f, const RunResult& result) {
             ExpectDocumentOfCheckedInputs(f, result);
             EXPECT_EQ(ReadBytes(f.in + "/KOJINQ.CSV"), f.employees);
         }},
        {"a pipe put where no output was", false, false, [](const Files& f) { MakeFifo(f.out); },
         CommandOutcome::Failed,
         [](const Files& f, const RunResult& result) {
             ExpectNothingReplaced(f, result);
             EXPECT_TRUE(IsFifo(f.out));
         }},
        {"the output exchanged for another file", false, true,
         [](const Files& f) {
             WriteBytes(f.out + ".other", "other");
             std::filesystem::rename(f.out + ".other", f.out);
         },
         CommandOutcome::Failed,
         [](const Files& f, const RunResult& result) {
             ExpectNothingReplaced(f, result);
             EXPECT_EQ(ReadBytes(f.out), "other");
         }},
        {"another company's employee file swapped in", false, false,
         [](const Files& f) {
             WriteBytes(f.in + "/other.csv", ReplaceAll(DemoEmployeesWith(1), kDemoName, "別会社"));
             std::filesystem::rename(f.in + "/other.csv", f.in + "/KOJINQ.CSV");
         },
         CommandOutcome::Written, ExpectDocumentOfCheckedInputs},
        {"the employee file written again in place (a new export)", false, true,
         [](const Files& f) {
             // Of another size: a rewrite within one tick of the file system's
             // clock shows in the size.
             WriteBytes(f.in + "/KOJINQ.CSV",
                        ReplaceAll(DemoEmployeesWith(1), kDemoName, "別会社"));
         },
         CommandOutcome::Failed,
         [](const Files& f, const RunResult& result) {
             const std::vector<std::string> errors = MessagesOf(result, MessageStyle::Error);
             ASSERT_EQ(errors.size(), 1u);
             EXPECT_TRUE(Contains(errors[0], "確認した後で書き換えられたため")) << errors[0];
             EXPECT_TRUE(Contains(errors[0], f.in + "/KOJINQ.CSV")) << errors[0];
             EXPECT_EQ(ReadBytes(f.out), "<old>\r\n");
         }},
        {"the employee file deleted", false, false,
         [](const Files& f) { std::filesystem::remove(f.in + "/KOJINQ.CSV"); },
         CommandOutcome::Written, ExpectDocumentOfCheckedInputs},
        {"the employee file replaced by a pipe", false, false,
         [](const Files& f) { MakeFifo(f.in + "/KOJINQ.CSV"); }, CommandOutcome::Written,
         ExpectDocumentOfCheckedInputs},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        Files files{dir.File("in"), dir.File("out.xml"), dir.File("out.xml"), ""};
        WriteCompany(files.in);
        files.employees = ReadBytes(files.in + "/KOJINQ.CSV");
        if (c.oldOutput) WriteBytes(files.out, "<old>\r\n");
        if (c.givenAsLink) {
            files.given = dir.File("link.xml");
            std::filesystem::create_symlink(files.out, files.given);
        }
        RunRequest request;
        for (std::size_t s = 0; s < kSlotCount; ++s) {
            request.inputPaths[s] = files.in + "/" + InputSlots[s].pszPrefix + ".CSV";
        }
        request.outputPath = files.given;
        request.yearText = "26";
        request.launch.launchCode = kLaunchStandalone;
        // The confirmation lets something happen to the files first.
        const auto answer = [&](const Question& question) {
            if (question.message.style == MessageStyle::Confirm) c.meanwhile(files);
            return true;
        };

        const RunResult result = ExecuteRun(request, answer);
        EXPECT_EQ(result.outcome, c.outcome);
        c.expect(files, result);
        EXPECT_FALSE(HasTemporaryFile(dir.Path()));
    }
}

}  // namespace
}  // namespace kw39::test
