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

inline constexpr const char* kConfirmText = "処理を開始します。\nよろしいですか？";

// The checks before a run: the year, then the input set. A file that cannot be
// read while it is checked is a failure with its Error message. When they
// pass, a year other than that of the payment dates gives `yearQuestion`.
CheckResult CheckRun(const RunRequest& request,
                     platform::FileSystem& fs = platform::RealFileSystem());

// One run of a fresh conversion engine for a request that passed its checks:
// load, convert, write. Never throws for a failure of the run: it is the
// result, with its one Error message. `observer`, when given, is told what
// the conversion converts and leaves out. `pinned`, the files its checks kept
// open (CheckResult::pinned), are read and written in place of their names.
RunResult ConvertRequest(const RunRequest& request,
                         platform::FileSystem& fs = platform::RealFileSystem(),
                         ConversionObserver* observer = nullptr,
                         const platform::PinnedFiles* pinned = nullptr);

// The Execute button: the dialog's controls read into a request, its checks,
// the question when the year is not that of the payment dates (No ends the
// command with the focus on the year box), the confirmation, the run, and
// every message of it shown in order. A hosted run closes the dialog
// afterwards (also when nothing was written); a raised failure ends the
// command with one Error message instead and leaves the dialog open.
CommandOutcome ExecuteCommand(RunPort& port, const LaunchContext& launch,
                              platform::FileSystem& fs = platform::RealFileSystem(),
                              ConversionObserver* observer = nullptr);

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
