// Runs the real kw39pcaconv program and collects what it printed.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kw39::test {

struct ProgramResult {
    int status = -1;  // exit status; -1 when the program did not exit normally
    std::string out;  // standard output, as written (UTF-8)
    std::string err;  // standard error, as written (UTF-8)
    // What the terminal typed on showed: the typing echoed, and what the
    // program wrote to it (with the terminal's CR LF line ends).
    std::string terminal;
};

struct ProgramInput {
    std::string workingDirectory;         // "" : the test's own
    std::optional<std::string> terminal;  // typed on a terminal given as stdin; else /dev/null
    bool stderrTerminal = false;  // standard error is a terminal (err: what it showed, with the
                                  // terminal's CR LF line ends); else a file
};

// `args` are UTF-8 command-line arguments after the program name.
ProgramResult RunKw39pcaconv(const std::vector<std::string>& args, const ProgramInput& input = {});

}  // namespace kw39::test
