// The whole program kw39pcaconv: the options read, then the help, the version,
// one conversion or a batch.
#pragma once

#include <string>
#include <vector>

#include "platform/file_system.h"

namespace kw39::cli {

// The whole program for the given arguments (UTF-8, without the program name);
// the exit status.
int RunProgram(const std::vector<std::string>& args,
               platform::FileSystem& fs = platform::RealFileSystem());

}  // namespace kw39::cli
