// One run as a conversation of values: its checks (the year, then the input
// set), the questions it puts (the year question, the confirmation), one
// conversion, and its result with every message to show.
#pragma once

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "convert/conversion_observer.h"
#include "platform/file_system.h"
#include "run/launch_context.h"
#include "run/run_request.h"

namespace kw39 {

// The start of a run: its checks and, when they pass, what the user is asked
// before anything is converted, in the order asked.
struct RunStart {
    std::optional<RunResult> refused;  // a check failed: the run's result, nothing asked
    std::vector<Question> questions;   // the year question when needed, then the confirmation
    // The calendar year most payment dates of the monthly file fall in, when
    // the checks passed and there is one.
    std::optional<int> paymentYear;
    // The inputs and the output as they were checked, kept open for the run.
    std::shared_ptr<platform::PinnedFiles> pinned;
};

// The checks, in their order: the year, then the input set. A file that
// cannot be read while it is checked refuses the run with its Error message.
RunStart StartRun(const RunRequest& request, platform::FileSystem& fs = platform::RealFileSystem());

// What a question states, as a Warning, for a run that asks nothing (a check
// of the run): the year question without "このまま続けますか？".
Message QuestionStatement(const Question& question);

// The result of a run whose `question` was answered No: cancelled, with the
// field to correct.
RunResult Declined(const Question& question);

// One run of a fresh conversion engine for a request that passed its checks:
// load, convert, write. Never throws for a failure of the run: it is the
// result, with its one Error message and the findings of the conversion.
// `observer`, when given, follows the conversion as it goes (a progress
// display). `pinned`, the files its checks kept open (RunStart::pinned), are
// read and written in place of their names.
RunResult ConvertRequest(const RunRequest& request,
                         platform::FileSystem& fs = platform::RealFileSystem(),
                         ConversionObserver* observer = nullptr,
                         const platform::PinnedFiles* pinned = nullptr);

// How a front end answers a question of a run: true for Yes or OK.
using AnswerFunction = std::function<bool(const Question&)>;

// The Execute command, the same for every front end: StartRun, each question
// answered by `answer` until one is No, then ConvertRequest. The caller shows
// the result's messages and, after a failed check, moves to its field.
RunResult ExecuteRun(const RunRequest& request, const AnswerFunction& answer,
                     platform::FileSystem& fs = platform::RealFileSystem(),
                     ConversionObserver* observer = nullptr);

// Whether a year text passes the year check: its leading number is 1 to 98,
// and it is written into the document as typed, so it holds no control
// character (which no XML document can carry) and only whole Shift_JIS
// characters. "8年" and " 8" pass.
bool IsAcceptableYear(std::string_view text);

// The one Error message that ends a command after a raised failure: the
// message of a DataLineError or IoError, otherwise a Japanese explanation
// followed by the failure's own detail.
Message FailureMessage(const std::exception& failure);

}  // namespace kw39
