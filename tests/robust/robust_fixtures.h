// A complete run set up in memory (the sample company's six files, an output
// path, a request) over a file system that fails on demand, and the checks
// every failed run must pass.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "run/execute_command.h"
#include "support/fault_file_system.h"
#include "support/test_support.h"

namespace kw39::test {

// The six files of samples/demo, in slot order, and their paths.
const std::vector<std::string>& DemoFiles();
std::string DemoPath(std::size_t slot);

// The sample employee file with `extra` more employees, copies of its first one
// under the codes 5000, 5001, ...: a document large enough to reach the file
// in several pieces.
std::string DemoEmployeesWith(std::size_t extra);

// The command line that converts `inputs` (one path per slot, in slot order)
// into `output`: year 26, the confirmation answered by --yes.
std::vector<std::string> ConvertArgs(const std::vector<std::string>& inputs,
                                     const std::string& output);

// The sample company in memory: inputs under /in, output /out/out.xml (an
// existing output when `oldOutput` is given), year 26, standard mode.
struct MemoryRun {
    explicit MemoryRun(std::optional<std::string> oldOutput = std::nullopt);

    std::string InputPath(std::size_t slot) const;
    // The command line that converts this run's files.
    std::vector<std::string> ProgramArgs() const;
    // Replaces the content of a slot's file.
    void SetInput(std::size_t slot, std::string content);

    // Runs the request, every question answered Yes; keeps the result.
    CommandOutcome Execute(int launchCode = kLaunchStandalone);

    MemoryFileSystem memory;
    FaultFileSystem faults{memory};
    std::string outputPath = "/out/out.xml";
    RunRequest request;
    ScriptedAnswers answers;
    RunResult result;
};

// The messages of one style, in order.
std::vector<std::string> MessagesOf(const RunResult& result, MessageStyle style);

// True when some message reports a successful run.
bool ReportsSuccess(const RunResult& result);

bool StartsWith(const std::string& text, const std::string& start);

// The sample company's name, as its files spell it.
inline const std::string kDemoName = "株式会社ソラマメ&ハッカ商会";

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to);

// The sample company's six files in `folder`, under the names the folder
// selection looks for, with the company's name replaced by `name`.
void WriteCompany(const std::string& folder, const std::string& name = kDemoName);

// The command line that converts the company in `folder`: year 26, the
// confirmation answered by --yes, then `more`.
std::vector<std::string> FolderRunArgs(const std::string& folder,
                                       const std::vector<std::string>& more);

// True when a temporary file of the program's is in `folder`.
bool HasTemporaryFile(const std::string& folder);

}  // namespace kw39::test
