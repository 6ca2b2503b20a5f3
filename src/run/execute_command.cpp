#include "run/execute_command.h"

#include <climits>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "convert/engine.h"
#include "pca/data_line_error.h"
#include "platform/io_error.h"
#include "platform/sjis.h"
#include "run/input_slots.h"
#include "run/validate_input.h"

namespace kw39 {

long LeadingInteger(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && platform::IsAsciiBlank(text[pos])) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    // Accumulate as a negative number, whose range is the larger one, and stop
    // growing at the limit: a long string of digits saturates like strtol.
    long value = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        const int digit = text[pos] - '0';
        if (value < (LONG_MIN + digit) / 10) {
            value = LONG_MIN;
        } else {
            value = value * 10 - digit;
        }
    }
    if (negative) return value;
    return value == LONG_MIN ? LONG_MAX : -value;
}

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
    const long year = LeadingInteger(text);
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

namespace {

std::vector<std::string> CollectInputPaths(RunPort& port) {
    std::vector<std::string> paths;
    for (const InputSlot& slot : InputSlots) {
        std::string path = port.ReadControlText(slot.nEditId);
        if (!path.empty()) paths.push_back(std::move(path));
    }
    return paths;
}

// Steps after the confirmation: one engine for one run, destroyed on every way
// out of this function.
CommandOutcome RunOnce(RunPort& port, const LaunchContext& launch, platform::FileSystem& fs,
                       ConversionObserver* observer) {
    std::vector<std::string> inputPaths = CollectInputPaths(port);
    CExchangeFromPCAToKw39 engine(port, fs);
    engine.SetObserver(observer);
    const std::string outputPath = port.ReadControlText(kIdOutputBox);
    const int mode = port.IsControlChecked(kIdRadioStandard) ? kModeStandard : kModeSimple;
    const std::string launchCodeText = std::to_string(launch.launchCode);
    const std::string yearText = port.ReadControlText(kIdYearBox);

    const int count = static_cast<int>(inputPaths.size());
    const RunOutcome outcome = engine.RunConversion(std::move(inputPaths), count, outputPath, mode,
                                                    launchCodeText, yearText);
    // Hosted: a confirmed run hands control back to the host whatever it wrote.
    if (launch.launchCode == kLaunchHosted) port.CloseDialog();
    return outcome == RunOutcome::Written ? CommandOutcome::Written
                                          : CommandOutcome::NothingWritten;
}

}  // namespace

CommandOutcome ExecuteCommand(RunPort& port, const LaunchContext& launch, platform::FileSystem& fs,
                              ConversionObserver* observer) {
    if (!IsAcceptableYear(port.ReadControlText(kIdYearBox))) {
        port.ShowMessage("正しい申告年度を指定してください。", MessageStyle::Warning);
        port.FocusControl(kIdYearBox);
        return CommandOutcome::YearRejected;
    }

    try {
        if (!ValidateInputSet(port, fs)) return CommandOutcome::InputRejected;
        if (port.ShowMessage("処理を開始します。\nよろしいですか？", MessageStyle::Confirm) ==
            MessageAnswer::Cancel) {
            return CommandOutcome::Cancelled;
        }
        return RunOnce(port, launch, fs, observer);
    } catch (const std::exception& failure) {
        // The engine is gone by now; the dialog stays open, also when hosted.
        port.ShowMessage(FailureMessage(failure), MessageStyle::Error);
        return CommandOutcome::Failed;
    }
}

}  // namespace kw39
