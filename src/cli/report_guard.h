// The report file must never take the place of a file the run reads or
// writes: named by mistake as one of the exports, or as the document (under
// any spelling, through a link), writing it would destroy that file.
#pragma once

#include <string>
#include <vector>

#include "cli/options.h"
#include "cli/terminal.h"
#include "platform/file_system.h"
#include "run/report_file.h"
#include "run/run_request.h"

namespace kw39::cli {

// False (after a message naming --report) when the report cannot be written
// where it is asked: a folder, a device or pipe, a missing folder, a folder
// that takes no new file, or an existing file that cannot be replaced.
bool ReportPathUsable(const Terminal& terminal, const CliOptions& options,
                      platform::FileSystem& fs);

// False (after a message naming both paths and --report) when the report would
// be written to one of `files`, as the file system decides it.
bool ReportApartFrom(const Terminal& terminal, const CliOptions& options,
                     const std::vector<RunFile>& files, platform::FileSystem& fs);

}  // namespace kw39::cli
