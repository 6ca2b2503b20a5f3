// Whether a file the program is asked to write can be written where it is
// asked to: known before the run, so that a long conversion never ends in a
// failure that was there from the start, and so that a device, a pipe or a
// folder is never written over.
#pragma once

#include <optional>
#include <string>

#include "platform/file_system.h"
#include "platform/messages.h"

namespace kw39 {

// The message (CP932, ready to show) that says what is wrong with writing a
// file at `path`, or nothing when it can be written: the name holds no control
// character, names no folder, device or pipe, its folder exists, and a new
// file can be created there (a temporary one is created and removed again).
// `what` names the file in the messages: kOutputLabel or kReportLabel.
std::optional<platform::Message> OutputLocationProblem(platform::FileSystem& fs,
                                                       const std::string& path,
                                                       const std::string& what);

inline constexpr const char* kOutputLabel = "出力先データ";
inline constexpr const char* kReportLabel = "報告ファイル";

}  // namespace kw39
