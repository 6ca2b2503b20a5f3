// The report file must never take the place of a file the run reads or
// writes: named by mistake as one of the exports, or as the document (under
// any spelling, through a link), writing it would destroy that file.
#pragma once

#include <string>
#include <vector>

#include "cli/options.h"
#include "cli/terminal.h"
#include "platform/file_system.h"
#include "platform/pinned_file_system.h"
#include "run/report_file.h"
#include "run/run_request.h"

namespace kw39::cli {

// False (after a message naming --report) when the report cannot be written
// where it is asked: a folder, a device or pipe, a missing folder, a folder
// that takes no new file, someone else's link. Otherwise the place it will be
// written is kept open in `pins`, under the path.
bool ReportPathUsable(const Terminal& terminal, const CliOptions& options, platform::FileSystem& fs,
                      platform::PinnedFiles& pins);

// False (after a message naming both paths and --report) when the report would
// be written to one of `files`, as the file system decides it, or when the
// file there is held by another program. The files are also protected at the
// moment the report is put in place.
bool ReportApartFrom(const Terminal& terminal, const CliOptions& options,
                     const std::vector<RunFile>& files, platform::FileSystem& fs);

}  // namespace kw39::cli
