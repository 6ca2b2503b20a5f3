// Measuring one generated set: the plain read pass that is the floor, and
// whole conversions timed stage by stage.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kw39::bench {

struct StageTimes {
    double check = 0;  // the input checks before the run
    double load = 0;   // engine construction and ReadDataFiles
    // Converting and writing are one streamed pass (each employee's section is
    // written as soon as the employee is converted); these are its two sides.
    double convert = 0;  // converting the employees into records
    double write = 0;    // writing their sections, closing and replacing the output
    double release = 0;  // destroying the engine with everything it holds
    double Total() const { return check + load + convert + write + release; }
};

// Resident memory right after a stage, in kilobytes: where the memory goes.
struct StageMemory {
    long load = 0;     // the loaded tables
    long convert = 0;  // after the document was written
};

struct SizeResult {
    int employees = 0;
    int runs = 0;
    std::uint64_t inputBytes = 0;
    std::uint64_t inputLines = 0;
    std::uint64_t outputBytes = 0;
    StageTimes stages;  // median of each stage
    double total = 0;   // median of the whole runs
    double floor = 0;   // median of the plain read passes
    long peakRssKb = 0;
    // Of the first run: later runs reuse the memory the allocator kept, so
    // only the first shows how it grows stage by stage.
    StageMemory memory;
    int messages = 0;  // messages the engine showed (a clean run shows none)
};

// The six files of a generated set in input-slot order. Throws
// std::runtime_error when one is missing.
std::vector<std::string> InputPaths(const std::string& folder);

// Reads every byte of the files and counts their lines; returns the seconds.
double FloorPass(const std::vector<std::string>& paths, std::uint64_t& bytes, std::uint64_t& lines);

// One whole conversion of the set as the Execute command does it, writing
// `output`. Throws std::runtime_error when the checks or the run fail.
StageTimes ConvertOnce(const std::vector<std::string>& paths, const std::string& output,
                       int& messages, StageMemory& memory);

// Repeats floor pass and conversion `runs` times (fewer once `budget` seconds
// are spent, at least once) and returns the medians and the peak memory of
// this process.
SizeResult MeasureSize(const std::string& folder, int employees, int runs, double budget);

// One line "RESULT key=value ..." that a parent process reads back.
std::string FormatResult(const SizeResult& result);
bool ParseResult(std::string_view text, SizeResult& result);

}  // namespace kw39::bench
