#include "cli/cli_run.h"

#include <exception>
#include <string_view>

#include "cli/batch_run.h"
#include "cli/console.h"
#include "cli/help_text.h"
#include "cli/progress_line.h"
#include "cli/report_guard.h"
#include "cli/run_progress.h"
#include "cli/visible_text.h"
#include "platform/sjis.h"
#include "platform/version.h"
#include "run/folder_selection.h"
#include "run/input_slots.h"
#include "run/launch_context.h"
#include "run/report_file.h"
#include "run/validate_input.h"

namespace kw39::cli {

namespace {

// The option that sets the control a failed check pointed at.
std::string OptionForControl(int id, const CliOptions& options) {
    if (id == kIdYearBox) return "--year";
    if (id == kIdOutputBrowse) return "--output";
    for (std::size_t s = 0; s < kSlotCount; ++s) {
        if (id != InputSlots[s].nBrowseId) continue;
        std::string name(SlotOptionName(s));
        if (options.folder && !options.slots[s]) name += " / --folder";
        return name;
    }
    return "";
}

// Fills the slots from --folder; false (after a message) when it is no folder.
bool ApplyFolder(TerminalPort& port, const std::string& folder, platform::FileSystem& fs) {
    const auto status = fs.Stat(folder);
    if (!status || !status->isDirectory) {
        port.ShowMessage("フォルダが存在しません。\n\n" + folder, MessageStyle::Warning);
        NameOptionToCorrect("--folder");
        return false;
    }
    const FolderSelection selection = SelectFilesFromFolder(folder, fs);
    const bool chosen = PutSelectedFiles(port, selection);
    if (!selection.message.empty()) {
        port.ShowMessage(selection.message, MessageStyle::Warning);
    } else if (!chosen) {
        Note(std::string(kNothingChosen) +
             "\n(One file in the folder matches the names of several kinds: nothing was chosen.)");
    }
    return true;
}

// Explains a failed input check that showed no message: a chosen file that
// exists but cannot be opened (a folder, or no permission).
void ExplainSilentRejection(TerminalPort& port, const CliOptions& options,
                            platform::FileSystem& fs) {
    for (std::size_t s = 0; s < kSlotCount; ++s) {
        const std::string path = port.ReadControlText(InputSlots[s].nEditId);
        if (path.empty() || fs.OpenRead(path)) continue;
        Note(std::string(kCannotOpenInput) + VisibleName(path));
        NameOptionToCorrect(OptionForControl(InputSlots[s].nBrowseId, options));
        return;
    }
}

void ExplainRejection(TerminalPort& port, const CliOptions& options, platform::FileSystem& fs) {
    if (port.FocusedControl() != 0) {
        NameOptionToCorrect(OptionForControl(port.FocusedControl(), options));
    } else if (port.LastMessageStyle()) {
        // The one check that shows a message but leaves the focus: the output
        // file exists and cannot be replaced.
        NameOptionToCorrect("--output");
    } else {
        ExplainSilentRejection(port, options, fs);
    }
}

// The output path: the one given, or the suggested name in the current folder.
std::optional<std::string> ChooseOutput(TerminalPort& port, const CliOptions& options,
                                        platform::FileSystem& fs) {
    if (options.output) return options.output;
    std::string name;
    if (!SuggestOutputFileName(port, name, fs)) {
        if (port.FocusedControl() != 0) {
            NameOptionToCorrect(OptionForControl(port.FocusedControl(), options) + " / --output");
        } else {
            ExplainSilentRejection(port, options, fs);
        }
        return std::nullopt;
    }
    name = SafeFileName(name);
    Note("出力先 (output): " + name);
    return name;
}

struct SingleResult {
    int status;
    std::string whyNot;       // for the report, when nothing was written
    bool writeReport = true;  // false when the report would replace a file of the run
};

// Fills the dialog from the options and chooses the output; a status when
// that fails (after its message).
std::optional<int> Prepare(TerminalPort& port, const CliOptions& options,
                           platform::FileSystem& fs) {
    SetYearAndMode(port, options.year ? *options.year : DefaultYear(platform::Today()),
                   options.mode);
    if (options.folder && !ApplyFolder(port, *options.folder, fs)) return kExitCheckFailed;
    for (std::size_t s = 0; s < kSlotCount; ++s) {
        if (options.slots[s]) port.SetControlText(InputSlots[s].nEditId, *options.slots[s]);
    }
    try {
        const std::optional<std::string> output = ChooseOutput(port, options, fs);
        if (!output) return kExitCheckFailed;
        port.SetControlText(kIdOutputBox, *output);
    } catch (const std::exception& failure) {
        port.ShowMessage(FailureMessage(failure), MessageStyle::Error);
        return kExitFailed;
    }
    return std::nullopt;
}

// What follows the Execute command on the terminal, and why nothing was written.
SingleResult Conclude(CommandOutcome outcome, TerminalPort& port, const CliOptions& options,
                      platform::FileSystem& fs) {
    const int status = StatusOf(outcome);
    switch (outcome) {
        case CommandOutcome::Written:
            return {status, {}};
        case CommandOutcome::YearRejected:
        case CommandOutcome::InputRejected:
            ExplainRejection(port, options, fs);
            if (port.LastMessageText().empty()) {
                if (const auto path = UnopenableInput(port, fs)) {
                    return {status, std::string(kCannotOpenInput) + *path};
                }
            }
            break;
        case CommandOutcome::Cancelled:
            Note("中止しました。 (Cancelled.)");
            return {status, "中止しました。"};
        case CommandOutcome::NothingWritten:
            Note(std::string(kNothingLoaded) + "\n(No employee was loaded: nothing was written.)");
            return {status, std::string(kNothingLoaded)};
        case CommandOutcome::Failed:
            break;
    }
    return {status, port.LastMessageText()};
}

SingleResult ConvertOne(const CliOptions& options, platform::FileSystem& fs,
                        ConversionReport& report) {
    TerminalPort port(options.yes);
    if (const std::optional<int> failed = Prepare(port, options, fs)) {
        return {*failed, port.LastMessageText()};
    }
    if (!ReportApartFrom(port, options, FilesOfRun(port), fs)) {
        return {kExitCheckFailed, port.LastMessageText(), false};
    }
    const LaunchContext launch = StandaloneLaunch(DefaultYear(platform::Today()));
    port.ForgetFocusAndMessages();
    std::optional<ProgressLine> line = WatchedProgressLine();
    const CommandOutcome outcome =
        ExecuteShowingProgress(port, launch, fs, &report, line ? &*line : nullptr);
    return Conclude(outcome, port, options, fs);
}

int Convert(const CliOptions& options, platform::FileSystem& fs) {
    ConversionReport report;
    report.BeginCompany({});
    const SingleResult result = ConvertOne(options, fs, report);
    if (!result.writeReport) return result.status;
    report.EndCompany(result.status == kExitWritten, result.whyNot);
    if (result.status == kExitWritten) ShowFindingCount(report.CountAll(), options);
    return FinishReport(options, report, result.status, fs);
}

}  // namespace

void SetYearAndMode(HeadlessPort& port, const std::string& year, int mode) {
    port.SetControlText(kIdYearBox, year);
    port.SetControlChecked(kIdRadioStandard, mode == kModeStandard);
    port.SetControlChecked(kIdRadioSimple, mode == kModeSimple);
}

bool PutSelectedFiles(HeadlessPort& port, const FolderSelection& selection) {
    bool chosen = false;
    for (std::size_t s = 0; s < kSlotCount; ++s) {
        if (!selection.paths[s]) continue;
        port.SetControlText(InputSlots[s].nEditId, *selection.paths[s]);
        chosen = true;
    }
    return chosen;
}

LaunchContext StandaloneLaunch(std::string defaultYear) {
    LaunchContext launch;
    launch.launchCode = kLaunchStandalone;
    launch.defaultYear = std::move(defaultYear);
    return launch;
}

std::optional<ProgressLine> WatchedProgressLine() {
    if (!StderrIsTerminal()) return std::nullopt;
    // The line redraws itself with carriage returns; its text shows its own
    // control characters.
    return ProgressLine([](std::string_view text) { WriteStderr(text, "\r\n"); },
                        MonotonicMilliseconds);
}

void Note(const std::string& text) { WriteStderr("kw39pcaconv: " + text + "\n"); }

void NameOptionToCorrect(const std::string& option) {
    if (!option.empty()) Note("修正するオプション (option to correct): " + option);
}

int StatusOf(CommandOutcome outcome) {
    switch (outcome) {
        case CommandOutcome::Written:
            return kExitWritten;
        case CommandOutcome::YearRejected:
        case CommandOutcome::InputRejected:
            return kExitCheckFailed;
        case CommandOutcome::Cancelled:
            return kExitCancelled;
        case CommandOutcome::NothingWritten:
            return kExitNothingWritten;
        case CommandOutcome::Failed:
            return kExitFailed;
    }
    return kExitFailed;
}

int WorseStatus(int a, int b) {
    const auto rank = [](int status) {
        switch (status) {
            case kExitWritten:
                return 0;
            case kExitCancelled:
                return 1;
            case kExitNothingWritten:
                return 2;
            case kExitCheckFailed:
                return 3;
            default:
                return 4;  // kExitFailed and anything unexpected
        }
    };
    return rank(b) > rank(a) ? b : a;
}

std::optional<std::string> UnopenableInput(RunPort& port, platform::FileSystem& fs) {
    for (const InputSlot& slot : InputSlots) {
        const std::string path = port.ReadControlText(slot.nEditId);
        if (!path.empty() && fs.Stat(path) && !fs.OpenRead(path)) return path;
    }
    return std::nullopt;
}

int FinishReport(const CliOptions& options, const ConversionReport& report, int status,
                 platform::FileSystem& fs) {
    if (!options.report) return status;
    try {
        WriteReportFile(*options.report, report, fs);
        Note("報告 (report): " + *options.report);
        return status;
    } catch (const std::exception& failure) {
        WriteStderr(FormatMessage(FailureMessage(failure), MessageStyle::Error));
        NameOptionToCorrect("--report");
        return WorseStatus(status, kExitFailed);
    }
}

void ShowFindingCount(const FindingCounts& counts, const CliOptions& options) {
    std::string text = ConversionReport::CountLine(counts) + "\n";
    std::size_t total = 0;
    for (const std::size_t count : counts) total += count;
    if (total > 0 && !options.report) {
        text += "詳細は --report PATH で書き出せます。 (Details: --report PATH.)\n";
    }
    WriteStderr(text);
}

std::string SafeFileName(const std::string& name) {
    constexpr std::string_view kForbidden = "/\\:*?\"<>|";
    std::string safe = name;
    for (std::size_t i = 0; i < safe.size(); i += platform::CharLength(safe, i)) {
        const auto byte = static_cast<unsigned char>(safe[i]);
        if (platform::CharLength(safe, i) == 1 &&
            (byte < 0x20 || kForbidden.find(safe[i]) != std::string_view::npos)) {
            safe[i] = '_';
        }
    }
    return safe;
}

int RunProgram(const std::vector<std::string>& args, platform::FileSystem& fs) {
    const ParsedOptions parsed = ParseOptions(args);
    if (!parsed.error.empty()) {
        WriteStderr(
            parsed.error +
            "\n使い方は kw39pcaconv --help を参照してください。 (See kw39pcaconv --help.)\n");
        return kExitUsage;
    }
    const CliOptions& options = parsed.options;
    if (options.help) return WriteStdout(HelpText()) ? kExitWritten : kExitFailed;
    if (options.version) return WriteStdout(VersionText()) ? kExitWritten : kExitFailed;
    // A report that cannot be written is better known before a long run;
    // then no report is written at all.
    if (TerminalPort port(options.yes); !ReportPathUsable(port, options, fs)) {
        return kExitCheckFailed;
    }
    if (options.batch) return RunBatch(options, fs);
    return Convert(options, fs);
}

}  // namespace kw39::cli
