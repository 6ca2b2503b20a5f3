#include "run/execute_command.h"

#include <climits>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "convert/engine.h"
#include "convert/text_rules.h"
#include "pca/data_line_error.h"
#include "platform/io_error.h"
#include "platform/sjis.h"
#include "run/input_slots.h"
#include "run/payment_year.h"
#include "run/validate_input.h"

namespace kw39 {

namespace {

// True when every byte of `text` belongs to a printable Shift_JIS character:
// no C0 control, no DEL, no byte that CP932 leaves undefined and no lead byte
// without its trail byte.
bool IsPrintableShiftJis(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        const auto c = static_cast<unsigned char>(text[pos]);
        if (platform::IsLeadByte(c)) {
            if (++pos == text.size()) return false;
            const auto trail = static_cast<unsigned char>(text[pos]);
            if (trail < 0x40 || trail == 0x7F || trail > 0xFC) return false;
        } else if (c < 0x20 || c == 0x7F || c == 0x80 || c == 0xA0 || c >= 0xFD) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool IsAcceptableYear(std::string_view text) {
    const std::int64_t year = ToInteger64(text);
    return year >= 1 && year <= 98 && IsPrintableShiftJis(text);
}

std::string FailureMessage(const std::exception& failure) {
    // These carry complete texts for the user, naming the file and the line.
    if (dynamic_cast<const DataLineError*>(&failure) ||
        dynamic_cast<const platform::IoError*>(&failure)) {
        return failure.what();
    }
    if (dynamic_cast<const std::bad_alloc*>(&failure)) {
        return std::string("メモリが不足したため、処理を中止しました。\n") + failure.what();
    }
    return std::string("処理中にエラーが発生したため、処理を中止しました。\n") + failure.what();
}

std::vector<std::string> RunRequest::ChosenInputs() const {
    std::vector<std::string> paths;
    for (const std::string& path : inputPaths) {
        if (!path.empty()) paths.push_back(path);
    }
    return paths;
}

CheckResult CheckRun(const RunRequest& request, platform::FileSystem& fs) {
    CheckResult result;
    if (!IsAcceptableYear(request.yearText)) {
        result.failure = CommandOutcome::YearRejected;
        result.field = RunField::Year;
        result.message = Message{"正しい申告年度を指定してください。", MessageStyle::Warning};
        return result;
    }
    try {
        result = CheckInputSet(request, fs);
        if (result.Passed()) {
            result.yearQuestion = YearMismatchQuestion(request.yearText, result.paymentYear);
        }
        return result;
    } catch (const std::exception& failure) {
        result.failure = CommandOutcome::Failed;
        result.message = Message{FailureMessage(failure), MessageStyle::Error};
        return result;
    }
}

RunResult ConvertRequest(const RunRequest& request, platform::FileSystem& fs,
                         ConversionObserver* observer, const platform::PinnedFiles* pinned) {
    RunResult result;
    platform::MessageLog log;
    const platform::PinnedFiles none;
    platform::PinnedFileSystem checkedFs(fs, pinned ? *pinned : none);
    try {
        // One engine for one run, destroyed on every way out of this block.
        CExchangeFromPCAToKw39 engine(log, checkedFs);
        engine.SetObserver(observer);
        const RunOutcome outcome =
            request.writeDocument
                ? engine.RunConversion(request.ChosenInputs(), request.outputPath, request.mode,
                                       request.launch.launchCode, request.yearText)
                : engine.RunCheck(request.ChosenInputs(), request.mode, request.launch.launchCode,
                                  request.yearText);
        result.messages = std::move(log.messages);
        if (outcome == RunOutcome::NoEmployees) {
            result.outcome = CommandOutcome::NothingWritten;
            return result;
        }
        result.employees = engine.Reader().GetEmployeeCodes().size();
        if (outcome == RunOutcome::Checked) {
            result.outcome = CommandOutcome::Checked;
            return result;
        }
        result.outcome = CommandOutcome::Written;
        result.documentPath = request.outputPath;
        if (request.launch.launchCode == kLaunchStandalone) {
            result.messages.push_back({"正常に終了しました。", MessageStyle::Info});
        }
    } catch (const std::exception& failure) {
        // What the run noted before it failed comes first, as it arose.
        result.messages = std::move(log.messages);
        result.messages.push_back({FailureMessage(failure), MessageStyle::Error});
        result.outcome = CommandOutcome::Failed;
    }
    return result;
}

CommandOutcome ExecuteCommand(RunPort& port, const LaunchContext& launch, platform::FileSystem& fs,
                              ConversionObserver* observer) {
    RunRequest request = port.ReadRequest();
    request.launch = launch;
    const CheckResult check = CheckRun(request, fs);
    if (!check.Passed()) {
        if (check.message) port.ShowMessage(check.message->text, check.message->style);
        if (check.field != RunField::None && check.focus) port.FocusField(check.field, check.slot);
        return *check.failure;
    }
    // A year other than that of the payment dates may be meant (a late
    // filing), so the user decides; No leaves the year box to correct it.
    if (check.yearQuestion && port.ShowMessage(check.yearQuestion->text,
                                               check.yearQuestion->style) != MessageAnswer::Yes) {
        port.FocusField(RunField::Year, 0);
        return CommandOutcome::Cancelled;
    }
    if (port.ShowMessage(kConfirmText, MessageStyle::Confirm) == MessageAnswer::Cancel) {
        return CommandOutcome::Cancelled;
    }
    const RunResult result = ConvertRequest(request, fs, observer, check.pinned.get());
    for (const Message& message : result.messages) port.ShowMessage(message.text, message.style);
    // Hosted: a confirmed run hands control back to the host whatever it
    // wrote; after a raised failure the dialog stays open.
    if (launch.launchCode == kLaunchHosted && result.outcome != CommandOutcome::Failed) {
        port.CloseDialog();
    }
    return result.outcome;
}

}  // namespace kw39
