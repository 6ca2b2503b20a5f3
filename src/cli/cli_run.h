// One invocation of kw39pcaconv: fills a headless dialog from the options,
// runs the Execute command and turns its outcome into the exit status.
#pragma once

#include <string>
#include <vector>

#include "cli/options.h"
#include "platform/file_system.h"

namespace kw39::cli {

enum ExitStatus : int {
    kExitWritten = 0,         // the document was written
    kExitCheckFailed = 1,     // the year or an input check failed
    kExitFailed = 2,          // a raised failure (bad data line, read or write error)
    kExitCancelled = 3,       // Cancel at the confirmation
    kExitNothingWritten = 4,  // no employee was loaded
    kExitUsage = 64,          // wrong command line
};

// The whole program for the given arguments (UTF-8, without the program name).
int RunProgram(const std::vector<std::string>& args,
               platform::FileSystem& fs = platform::RealFileSystem());

// A suggested output name made safe as a file name in the current folder:
// separators and characters that Windows forbids in names become "_".
std::string SafeFileName(const std::string& name);

}  // namespace kw39::cli
