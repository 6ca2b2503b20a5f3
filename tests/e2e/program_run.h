// Running an external program from a test: the converter itself and xmllint.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kw39::test {

struct ProgramResult {
    int status = -1;  // exit status, -1 when the program did not exit normally
    std::string out;  // everything written to standard output
    std::string err;  // everything written to standard error
};

// Runs `program` with `args` and waits for it. Standard input is /dev/null, so
// the program never waits for a terminal; standard output and error are caught
// in files under `scratchDir`. Throws when the program cannot be started.
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::string& scratchDir);

// Full path of an executable found on PATH, or nothing.
std::optional<std::string> FindOnPath(const std::string& name);

// Whether a tool that a test needs is on PATH. When it is not, the test fails
// (it never passes in silence) with the line that installs it; tools/setup.sh
// --tests installs every such tool.
bool RequireTool(const std::string& name, const std::string& package);

}  // namespace kw39::test
