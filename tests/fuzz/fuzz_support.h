// What the fuzz targets share: the way a broken promise becomes a finding.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace kw39::fuzz {

// A finding: libFuzzer keeps the input that led here.
[[noreturn]] inline void Broken(std::string_view what) {
    std::fprintf(stderr, "broken promise: %.*s\n", static_cast<int>(what.size()), what.data());
    std::abort();
}

inline void Require(bool holds, std::string_view what) {
    if (!holds) Broken(what);
}

}  // namespace kw39::fuzz
