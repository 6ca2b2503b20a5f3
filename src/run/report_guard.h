// The report file must never take the place of a file the run reads or
// writes: named by mistake as one of the exports, or as the document (under
// any spelling, through a link), writing it would destroy that file. The
// command line checks the place before the run, the desktop program when the
// clerk saves the report; both refuse with the same messages.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/message.h"
#include "platform/pinned_file_system.h"
#include "run/report_file.h"
#include "run/run_request.h"

namespace kw39 {

// The Warning when the report cannot be written at `path`: a folder, a device
// or pipe, a missing folder, a folder that takes no new file, someone else's
// link. Otherwise nothing, and the place it will be written is kept open in
// `pins`, under the path.
std::optional<Message> CheckReportPlace(const std::string& path, platform::FileSystem& fs,
                                        platform::PinnedFiles& pins);

// The message (naming both paths) when the report at `path` would be written
// to one of `files`, as the file system decides it, or when the file there is
// held by another program. Otherwise nothing, and the files are protected at
// the moment the report is put in place (through the place kept open by
// CheckReportPlace, when `fs` reads it).
std::optional<Message> CheckReportApart(const std::string& path, const std::vector<RunFile>& files,
                                        platform::FileSystem& fs);

// The same for the files of one run.
std::optional<Message> CheckReportApart(const std::string& path, const RunRequest& request,
                                        platform::FileSystem& fs);

}  // namespace kw39
