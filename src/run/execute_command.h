// The Execute command: year check, input checks, confirmation, one conversion
// run, completion message.
#pragma once

#include <exception>
#include <string>
#include <string_view>

#include "convert/conversion_observer.h"
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

// The Execute button: year check, input checks, confirmation, then one run of
// a fresh conversion engine. A hosted run closes the dialog afterwards (also
// when nothing was written); a raised failure ends the command with one Error
// message instead and leaves the dialog open.
// `observer`, when given, is told what the conversion converts and leaves out.
CommandOutcome ExecuteCommand(RunPort& port, const LaunchContext& launch,
                              platform::FileSystem& fs = platform::RealFileSystem(),
                              ConversionObserver* observer = nullptr);

// The value of a year text: leading blanks skipped, optional sign, then the
// decimal digits up to the first other character; 0 without digits.
long LeadingInteger(std::string_view text);

// Whether a year text passes the year check: its leading number is 1 to 98,
// and it is written into the document as typed, so it holds no control
// character (which no XML document can carry) and only whole Shift_JIS
// characters. "8年" and " 8" pass.
bool IsAcceptableYear(std::string_view text);

// The text of the one Error message that ends a command after a raised
// failure: the complete user text of a DataLineError or IoError, otherwise a
// Japanese explanation followed by the failure's own detail.
std::string FailureMessage(const std::exception& failure);

}  // namespace kw39
