#include "cli/cli_run.h"

#include <exception>
#include <string_view>

#include "cli/batch_run.h"
#include "cli/console.h"
#include "cli/help_text.h"
#include "cli/progress_line.h"
#include "cli/report_guard.h"
#include "cli/run_progress.h"
#include "cli/run_summary.h"
#include "cli/visible_text.h"
#include "platform/sjis.h"
#include "platform/version.h"
#include "run/folder_selection.h"
#include "run/input_slots.h"
#include "run/launch_context.h"
#include "run/payment_year.h"
#include "run/report_file.h"
#include "run/run_description.h"
#include "run/validate_input.h"

namespace kw39::cli {

namespace {

// The option that corrects what a failed check is about.
std::string OptionFor(const CheckResult& check, const CliOptions& options) {
    switch (check.field) {
        case RunField::Year:
            return "--year";
        case RunField::Output:
            return "--output";
        case RunField::Input: {
            std::string name(SlotOptionName(check.slot));
            if (options.folder && !options.slots[check.slot]) name += " / --folder";
            return name;
        }
        case RunField::None:
            break;
    }
    return "";
}

// Fills the slots from --folder; false (after a message) when it is no folder.
bool ApplyFolder(Terminal& terminal, RunRequest& request, const std::string& folder,
                 platform::FileSystem& fs) {
    const auto status = fs.Stat(folder);
    if (!status || !status->isDirectory) {
        terminal.Show("フォルダが存在しません。\n\n" + platform::ShownPath(folder),
                      MessageStyle::Warning);
        NameOptionToCorrect("--folder");
        return false;
    }
    const FolderSelection selection = SelectFilesFromFolder(folder, fs);
    const bool chosen = PutSelectedFiles(request, selection);
    if (!selection.message.empty()) {
        terminal.Show(selection.message, MessageStyle::Warning);
    } else if (!chosen) {
        Note(std::string(kNothingChosen) +
             "\n(One file in the folder matches the names of several kinds: nothing was chosen.)");
    }
    return true;
}

// The output path: the one given, or the suggested name in the current folder.
std::optional<std::string> ChooseOutput(Terminal& terminal, const RunRequest& request,
                                        const CliOptions& options, platform::FileSystem& fs) {
    if (options.output) return options.output;
    const OutputNameProposal proposal = ProposeOutputFileName(request.inputPaths[0], fs);
    if (proposal.name.empty()) {
        terminal.Show(*proposal.failure.message);
        NameOptionToCorrect(OptionFor(proposal.failure, options) + " / --output");
        return std::nullopt;
    }
    const std::string name = SafeFileName(proposal.name);
    Inform("出力先 (output): " + VisibleName(name));
    return platform::NativeName(name);
}

struct SingleResult {
    int status;
    std::string whyNot;       // for the report, when nothing was written
    bool writeReport = true;  // false when the report would replace a file of the run
};

// The request the options make, its inputs chosen; a status when that fails
// (after its message).
std::optional<int> ChooseInputs(Terminal& terminal, RunRequest& request, const CliOptions& options,
                                platform::FileSystem& fs) {
    request.mode = options.mode;
    request.launch = StandaloneLaunch(DefaultYear(platform::Today()));
    request.writeDocument = !options.check;
    if (options.folder && !ApplyFolder(terminal, request, *options.folder, fs)) {
        return kExitCheckFailed;
    }
    for (std::size_t s = 0; s < kSlotCount; ++s) {
        if (options.slots[s]) request.inputPaths[s] = *options.slots[s];
    }
    return std::nullopt;
}

// The output chosen and the year taken; a status when that fails (after its
// message).
std::optional<int> Prepare(Terminal& terminal, RunRequest& request, const CliOptions& options,
                           platform::FileSystem& fs) {
    try {
        const std::optional<std::string> output = ChooseOutput(terminal, request, options, fs);
        if (!output) return kExitCheckFailed;
        request.outputPath = *output;
    } catch (const std::exception& failure) {
        terminal.Show(FailureMessage(failure), MessageStyle::Error);
        return kExitFailed;
    }
    request.yearText = options.year ? *options.year : YearWithoutOption(request, fs);
    return std::nullopt;
}

// What follows the Execute command on the terminal, and why nothing was written.
SingleResult Conclude(const CommandResult& result, Terminal& terminal, const CliOptions& options) {
    const int status = StatusOf(result.outcome);
    switch (result.outcome) {
        case CommandOutcome::Written:
            return {status, {}};
        case CommandOutcome::Checked:
            break;  // its completion message says why there is no document
        case CommandOutcome::YearRejected:
            NameYearToCorrect();
            break;
        case CommandOutcome::InputRejected:
            NameOptionToCorrect(OptionFor(result.check, options));
            break;
        case CommandOutcome::Cancelled:
            Note("中止しました。 (Cancelled.)");
            return {status, "中止しました。"};
        case CommandOutcome::NothingWritten:
            terminal.Show(std::string(kNothingLoaded), MessageStyle::Warning);
            return {status, std::string(kNothingLoaded)};
        case CommandOutcome::Failed:
            break;
    }
    return {status, terminal.LastMessageText()};
}

// The summary of the run, before its checks and the confirmation; an output
// that is a link is followed by the file it names.
void ShowSummary(const RunRequest& request, const CliOptions& options, platform::FileSystem& fs) {
    if (!IsQuiet()) WriteStderr(RunSummary(request, options, fs.ResolveLinks(request.outputPath)));
}

SingleResult ConvertOne(const CliOptions& options, platform::FileSystem& fs,
                        ConversionReport& report) {
    Terminal terminal = TerminalFor(options);
    RunRequest request;
    std::optional<int> failed = ChooseInputs(terminal, request, options, fs);
    // A report named as an input is refused before any input is read.
    if (!failed && !ReportApartFrom(terminal, options, FilesOfRun(request), fs)) {
        return {kExitCheckFailed, terminal.LastMessageText(), false};
    }
    if (!failed) failed = Prepare(terminal, request, options, fs);
    if (options.report) report.DescribeRun(DescribeRun(request, fs));
    if (failed) return {*failed, terminal.LastMessageText()};
    terminal.SetShownPaths(PathsOf(request));
    if (!ReportApartFrom(terminal, options, FilesOfRun(request), fs)) {
        return {kExitCheckFailed, terminal.LastMessageText(), false};
    }
    ShowSummary(request, options, fs);
    std::optional<ProgressLine> line = WatchedProgressLine();
    const CommandResult result =
        ExecuteRequest(terminal, request, fs, &report, line ? &*line : nullptr);
    return Conclude(result, terminal, options);
}

int Convert(const CliOptions& options, platform::FileSystem& fs) {
    ConversionReport report;
    report.BeginCompany({});
    const SingleResult result = ConvertOne(options, fs, report);
    if (!result.writeReport) return result.status;
    report.EndCompany(result.status == kExitWritten && !options.check, result.whyNot);
    if (result.status == kExitWritten) ShowFindingCount(report.CountAll(), options);
    return FinishReport(options, report, result.status, fs);
}

}  // namespace

bool PutSelectedFiles(RunRequest& request, const FolderSelection& selection) {
    bool chosen = false;
    for (std::size_t s = 0; s < kSlotCount; ++s) {
        if (!selection.paths[s]) continue;
        request.inputPaths[s] = *selection.paths[s];
        chosen = true;
    }
    return chosen;
}

std::vector<std::string> PathsOf(const RunRequest& request) {
    std::vector<std::string> paths(request.inputPaths.begin(), request.inputPaths.end());
    paths.push_back(request.outputPath);
    return paths;
}

std::string YearWithoutOption(const RunRequest& request, platform::FileSystem& fs,
                              const std::string& company) {
    const std::string who = company.empty() ? "" : VisibleName(company) + ": ";
    if (const std::optional<int> paid = PaymentYearOf(request.inputPaths[kMonthlySlot], fs)) {
        const std::string year = std::to_string(EraYear(*paid));
        Inform(who + "申告年度 (year): " + year + " (支給日の年 " + std::to_string(*paid) +
               " 年 (" + EraYearName(*paid) + ") から / from the payment dates)");
        return year;
    }
    const std::string year = DefaultYear(platform::Today());
    Inform(who + "申告年度 (year): " + year +
           " (支給日がないため今年 / no payment date: the current year)");
    return year;
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

void Inform(const std::string& text) {
    if (!IsQuiet()) Note(text);
}

void NameOptionToCorrect(const std::string& option) {
    if (!option.empty()) Note("修正するオプション (option to correct): " + option);
}

void NameYearToCorrect() {
    NameOptionToCorrect("--year");
    Note("例: --year " + YearWithEra(DefaultYear(platform::Today())));
}

Terminal TerminalFor(const CliOptions& options) {
    Terminal terminal(options.yes || options.check);
    // A check writes nothing, so there is nothing to confirm.
    if (options.check) terminal.AskNothing();
    return terminal;
}

int StatusOf(CommandOutcome outcome) {
    switch (outcome) {
        case CommandOutcome::Written:
        case CommandOutcome::Checked:
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

int FinishReport(const CliOptions& options, const ConversionReport& report, int status,
                 platform::FileSystem& fs) {
    if (!options.report) return status;
    try {
        WriteReportFile(*options.report, report, fs);
        Inform("報告 (report): " + platform::ShownPath(*options.report));
        return status;
    } catch (const std::exception& failure) {
        WriteStderr(FormatMessage(FailureMessage(failure), MessageStyle::Error));
        NameOptionToCorrect("--report");
        return WorseStatus(status, kExitFailed);
    }
}

void ShowFindingCount(const FindingCounts& counts, const CliOptions& options) {
    if (IsQuiet()) return;
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
    if (args.empty()) {
        // Started by hand without a word: say how to use it, and do nothing.
        WriteStderr(
            UsageText() +
            "\n詳しくは kw39pcaconv --help を参照してください。 (See kw39pcaconv --help.)\n");
        return kExitUsage;
    }
    const ParsedOptions parsed = ParseOptions(args);
    if (!parsed.error.empty()) {
        WriteStderr(
            parsed.error +
            "\n使い方は kw39pcaconv --help を参照してください。 (See kw39pcaconv --help.)\n");
        return kExitUsage;
    }
    const CliOptions& options = parsed.options;
    SetQuiet(options.quiet);
    if (options.help) return WriteStdout(HelpText()) ? kExitWritten : kExitFailed;
    if (options.version) return WriteStdout(VersionText()) ? kExitWritten : kExitFailed;
    // A report that cannot be written is better known before a long run;
    // then no report is written at all. Where it was checked it is written.
    platform::PinnedFiles report;
    if (Terminal terminal = TerminalFor(options);
        !ReportPathUsable(terminal, options, fs, report)) {
        return kExitCheckFailed;
    }
    platform::PinnedFileSystem checkedFs(fs, report);
    if (options.batch) return RunBatch(options, checkedFs);
    return Convert(options, checkedFs);
}

}  // namespace kw39::cli
