// The texts of --help and --version (CP932).
#pragma once

#include <string>

namespace kw39::cli {

std::string HelpText();
std::string VersionText();

}  // namespace kw39::cli
