// Runs a program with a time limit: a converter that hangs on a bad file must
// fail its test, not stall the suite.
#pragma once

#include <string>
#include <vector>

namespace kw39::test {

struct TimedResult {
    int status = -1;        // exit status; -1 when killed by a signal or the limit
    bool timedOut = false;  // killed at the time limit
    std::string out;
    std::string err;
};

// Runs `program` with `args`, standard input /dev/null; kills it after
// `seconds`. Throws when it cannot be started.
TimedResult RunTimed(const std::string& program, const std::vector<std::string>& args, int seconds);

}  // namespace kw39::test
