// The texts of --help and --version (CP932).
#pragma once

#include <string>

namespace kw39::cli {

// The lines that show how the program is called (the start of the help).
std::string UsageText();
std::string HelpText();
std::string VersionText();

}  // namespace kw39::cli
