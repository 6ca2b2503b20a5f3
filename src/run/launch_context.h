// How the program was started: on its own, or by Orvelle as its host.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/version.h"

namespace kw39 {

enum LaunchCode { kLaunchStandalone = 1, kLaunchHosted = 3 };

struct LaunchContext {
    std::intptr_t hostWindow = 0;
    std::uint32_t notifyMessage = 0;
    int launchCode = 0;
    std::string hostOutputPath;
    std::string defaultYear;
};

// The filing year proposed at start: the year in the era in use on `date`,
// Reiwa (year - 2018) from 1 May 2019, Heisei (year - 1988) before.
std::string DefaultYear(const platform::LocalDate& date);

// Reads a hosted command line "hostWindow,notifyMessage,launchCode,outputPath"
// (signed decimal numbers, the path up to the first blank) into `context`.
// Sets defaultYear from `today` in any case. True when all four fields were
// read; otherwise launchCode becomes kLaunchStandalone.
bool ParseLaunchCommandLine(std::string_view args, const platform::LocalDate& today,
                            LaunchContext& context);

}  // namespace kw39
