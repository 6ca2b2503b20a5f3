// Irregular lines in a written export set, of the kinds a real export can
// carry and a conversion must account for: lines left out (an employee missing
// from the employee file, a payment without its other half), keys repeated
// with other values, empty keys, salary numbers outside 1 to 12 or written
// twice for one month, sections of unknown tables, lines before the first
// header, quotes inside a field that merge it with the fields after it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kw39::gen {

// Makes `count` such edits, drawn from `seed`, in the files at `paths`. The
// same arguments give the same bytes. Throws std::runtime_error on a failed
// read or write.
void AddIrregularities(const std::vector<std::string>& paths, int count, std::uint64_t seed);

// The fields of a line split at every comma: good enough for the keys and
// numbers of generated lines, which lead the line and are never quoted.
std::vector<std::string> CommaFields(const std::string& text);

}  // namespace kw39::gen
