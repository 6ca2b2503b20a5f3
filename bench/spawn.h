// Runs this benchmark program again in a child process, so each set size is
// measured in a fresh process whose peak memory is its own.
#pragma once

#include <string>
#include <vector>

namespace kw39::bench {

struct ChildOutcome {
    bool timedOut = false;
    int exitCode = -1;   // -1 when the child did not exit normally
    std::string output;  // what the child wrote to standard output
};

// Starts this program with `args`, collects its standard output (its standard
// error passes through) and kills it after `timeoutSeconds`.
ChildOutcome RunSelf(const std::vector<std::string>& args, double timeoutSeconds);

}  // namespace kw39::bench
