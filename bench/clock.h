// Monotonic time in seconds. (<chrono> is not usable in this code base: its
// literals do not survive the CP932 execution character set.)
#pragma once

#include <time.h>

namespace kw39::bench {

inline double Now() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

}  // namespace kw39::bench
