// kw39bench: converts generated PCA sets of several sizes end to end and
// reports time per stage, throughput, peak memory and the targets.
//
//   kw39bench --data DIR [--sizes 1000,10000,50000] [--runs N] [--budget S] [--timeout S]
//   kw39bench --data DIR --one N [--runs N] [--budget S]
//
// DIR holds one folder per size, named by the employee count (DIR/10000/...),
// as bench/run.sh lays them out with kw39gen. Without --one every size is
// measured in a child process of its own, so that peak memory is per size.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "measure.h"
#include "report.h"
#include "spawn.h"

namespace {

using namespace kw39::bench;

struct Options {
    std::string data;
    std::vector<int> sizes = {1000, 10000, 50000};
    int one = 0;            // measure this size here and print its RESULT line
    int runs = 0;           // 0: 5 up to 10,000 employees, 3 above
    double budget = 900;    // seconds per size after which no further run starts
    double timeout = 7200;  // seconds after which a size's child is killed
};

constexpr const char* kUsage =
    "usage: kw39bench --data DIR [--sizes 1000,10000,50000] [--runs N] [--budget S] "
    "[--timeout S]\n"
    "       kw39bench --data DIR --one N [--runs N] [--budget S]\n";

// A positive number of seconds.
bool ParseSeconds(std::string_view text, double& value) {
    const std::string copy(text);
    char* end = nullptr;
    value = std::strtod(copy.c_str(), &end);
    return !copy.empty() && *end == '\0' && value > 0;
}

// A count from 1 to 10,000,000 written in decimal digits.
bool ParseCount(std::string_view text, int& value) {
    if (text.empty() || text.size() > 8) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return value >= 1 && value <= 10'000'000;
}

bool ParseSizes(std::string_view text, std::vector<int>& sizes) {
    sizes.clear();
    while (!text.empty()) {
        const std::size_t comma = std::min(text.find(','), text.size());
        int value = 0;
        if (!ParseCount(text.substr(0, comma), value)) return false;
        sizes.push_back(value);
        text.remove_prefix(std::min(comma + 1, text.size()));
    }
    return !sizes.empty();
}

bool ParseOption(std::string_view name, std::string_view value, Options& options) {
    if (name == "--data") {
        options.data = value;
        return !value.empty();
    }
    if (name == "--sizes") return ParseSizes(value, options.sizes);
    if (name == "--one") return ParseCount(value, options.one);
    if (name == "--runs") return ParseCount(value, options.runs);
    if (name == "--budget") return ParseSeconds(value, options.budget);
    if (name == "--timeout") return ParseSeconds(value, options.timeout);
    return false;
}

bool ParseArguments(int argc, char** argv, Options& options) {
    if (argc % 2 == 0) {
        std::fprintf(stderr, "kw39bench: %s needs a value\n", argv[argc - 1]);
        return false;
    }
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!ParseOption(argv[i], argv[i + 1], options)) {
            std::fprintf(stderr, "kw39bench: bad option %s %s\n", argv[i], argv[i + 1]);
            return false;
        }
    }
    if (options.data.empty()) {
        std::fprintf(stderr, "kw39bench: --data is required\n");
        return false;
    }
    return true;
}

int RunsFor(const Options& options, int employees) {
    return options.runs > 0 ? options.runs : employees <= 10000 ? 5 : 3;
}

std::string SetFolder(const Options& options, int employees) {
    return (std::filesystem::path(options.data) / std::to_string(employees)).string();
}

int MeasureHere(const Options& options) {
    const SizeResult result = MeasureSize(SetFolder(options, options.one), options.one,
                                          RunsFor(options, options.one), options.budget);
    std::printf("%s\n", FormatResult(result).c_str());
    return 0;
}

Measured MeasureInChild(const Options& options, int employees) {
    Measured measured;
    measured.employees = employees;
    const std::vector<std::string> args = {"--data",   options.data,
                                           "--one",    std::to_string(employees),
                                           "--runs",   std::to_string(RunsFor(options, employees)),
                                           "--budget", std::to_string(options.budget)};
    const ChildOutcome child = RunSelf(args, options.timeout);
    if (child.timedOut) {
        measured.failure =
            "timed out after " + std::to_string(static_cast<long>(options.timeout)) + " s";
    } else if (child.exitCode != 0 || !ParseResult(child.output, measured.result)) {
        measured.failure =
            "the measuring process failed (exit code " + std::to_string(child.exitCode) + ")";
    } else {
        measured.ok = true;
    }
    return measured;
}

int MeasureAll(const Options& options) {
    std::vector<Measured> sizes;
    for (int employees : options.sizes) {
        std::fprintf(stderr, "measuring %d employees...\n", employees);
        sizes.push_back(MeasureInChild(options, employees));
        const Measured& last = sizes.back();
        if (last.ok)
            std::fprintf(stderr, "  %d runs, whole run %.3f s\n", last.result.runs,
                         last.result.total);
        else
            std::fprintf(stderr, "  %s\n", last.failure.c_str());
    }
    PrintTable(sizes);
    std::printf("\n");
    const int failed = PrintVerdicts(EvaluateTargets(sizes));
    std::printf("\n%d target(s) failed\n", failed);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseArguments(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    try {
        return options.one > 0 ? MeasureHere(options) : MeasureAll(options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "kw39bench: %s\n", error.what());
        return 1;
    }
}
