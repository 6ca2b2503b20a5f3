// Whether a file the program is asked to write can be written where it is
// asked to: known before the run, so that a long conversion never ends in a
// failure that was there from the start, and so that a device, a pipe, a
// folder or someone else's link is never written over.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/file_system.h"
#include "platform/message.h"

namespace kw39 {

struct OutputLocation {
    // The place the file will be written, opened once; null on a problem.
    std::shared_ptr<platform::WriteDestination> destination;
    // The message that says what is wrong.
    std::optional<platform::Message> problem;
    // What is wrong, for a caller that words one case its own way.
    platform::DestinationProblem kind = platform::DestinationProblem::None;
};

// Checks that a file can be written at `path`: the name holds no control
// character and names no folder, device or pipe; its folder exists and takes
// a new file from this user; a symbolic link belongs to this user and names a
// regular file or nothing; an existing file may be replaced. Nothing is
// created. `what` names the file in the messages: kOutputLabel or
// kReportLabel.
OutputLocation CheckOutputLocation(platform::FileSystem& fs, const std::string& path,
                                   const std::string& what);

inline constexpr const char* kOutputLabel = "出力先データ";
inline constexpr const char* kReportLabel = "報告ファイル";

}  // namespace kw39
