// The two version strings of the running program and the local date.
#pragma once

#include <string>

namespace kw39::platform {

// ProductVersion and FileVersion of the running program: on Windows read from
// its version resource (empty when it has none), elsewhere the values the build
// put into that resource.
std::string ReadProductVersion();
std::string ReadFileVersion();

struct LocalDate {
    int year = 0;
    int month = 0;
    int day = 0;
};

// Today's date in local time.
LocalDate Today();

}  // namespace kw39::platform
