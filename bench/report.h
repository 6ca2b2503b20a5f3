// The benchmark's table of figures and its verdict on the targets.
#pragma once

#include <string>
#include <vector>

#include "measure.h"

namespace kw39::bench {

struct Measured {
    int employees = 0;
    bool ok = false;
    std::string failure;  // why there is no result ("timed out after 3600 s", ...)
    SizeResult result;
};

enum class Outcome { Pass, Fail, Skip };

struct TargetVerdict {
    Outcome outcome = Outcome::Skip;
    std::string target;  // "10000 employees: input throughput >= 150 MB/s"
    std::string detail;  // the figure measured, or why there is none
};

// The targets: the whole run of 10,000 employees at most 6 times the plain
// read pass and at least 150 MB/s of input; peak memory of every size at most
// 1.5 times its input; 50,000 employees at most 5.5 times the time of 10,000.
// A target whose size was not measured is skipped; one whose size failed fails.
std::vector<TargetVerdict> EvaluateTargets(const std::vector<Measured>& sizes);

// Markdown tables, one row per size: the figures, then memory by stage.
void PrintTable(const std::vector<Measured>& sizes);

// One "PASS|FAIL|SKIP  target: detail" line per verdict; returns the failures.
int PrintVerdicts(const std::vector<TargetVerdict>& verdicts);

}  // namespace kw39::bench
