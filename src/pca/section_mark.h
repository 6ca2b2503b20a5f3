// Where one section of an export file lies, as a reading of the whole file
// found it: the load can then read a large section on a second thread from its
// first byte while the reading thread passes over its bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kw39 {

struct SectionMark {
    std::string code;              // of its header line; "" for the lines before the first one
    std::size_t headerLine = 0;    // the header line's number; 0 for the lines before the first
    std::uint64_t dataOffset = 0;  // where the line after the header line starts
    std::uint64_t endOffset = 0;   // where the next header line starts, or the end of the file
    std::size_t lastLine = 0;      // the number of the line before that (0 when none)
};

// The sections of a file in file order, the lines before the first header line
// first.
using SectionMarks = std::vector<SectionMark>;

}  // namespace kw39
