// The Execute command: year check, input checks, confirmation, one conversion
// run, completion message.
#pragma once

#include "platform/file_system.h"
#include "run/launch_context.h"
#include "run/run_port.h"

namespace kw39 {

enum class CommandOutcome {
    YearRejected,    // "正しい申告年度を指定してください。"
    InputRejected,   // an input check failed (its message, if any, was shown)
    Cancelled,       // Cancel at the confirmation
    NothingWritten,  // no employee was loaded; nothing written
    Written,         // the document was written
    Failed,          // a raised failure, shown as one Error message
};

CommandOutcome ExecuteCommand(RunPort& port, const LaunchContext& launch,
                              platform::FileSystem& fs = platform::RealFileSystem());

// The value of a year text: leading blanks skipped, optional sign, then the
// decimal digits up to the first other character; 0 without digits.
long LeadingInteger(std::string_view text);

}  // namespace kw39
