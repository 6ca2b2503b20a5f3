// kw39pcaconv --batch: every company folder under one root converted as
// --folder would, each to its suggested file name in one output folder.
#pragma once

#include "cli/options.h"
#include "platform/file_system.h"

namespace kw39::cli {

// Runs the batch of `options` (--batch and --output-dir are given) and returns
// the exit status: 0 when every company was converted, else the worst status
// of a company (see WorseStatus).
int RunBatch(const CliOptions& options, platform::FileSystem& fs);

}  // namespace kw39::cli
