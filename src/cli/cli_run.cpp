#include "cli/cli_run.h"

#include <exception>
#include <string_view>

#include "cli/console.h"
#include "cli/progress_line.h"
#include "cli/report_guard.h"
#include "cli/run_progress.h"
#include "cli/run_summary.h"
#include "platform/sjis.h"
#include "platform/version.h"
#include "platform/visible_text.h"
#include "run/batch_plan.h"
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
std::string OptionFor(RunField field, std::size_t slot, const CliOptions& options) {
    switch (field) {
        case RunField::Year:
            return "--year";
        case RunField::Output:
            return "--output";
        case RunField::Input: {
            std::string name(SlotOptionName(slot));
            if (options.folder && !options.slots[slot]) name += " / --folder";
            return name;
        }
        case RunField::None:
            break;
    }
    return "";
}

// The result of a run that did not get as far as its checks.
RunResult NotRun(CommandOutcome outcome, std::string whyNot) {
    RunResult result;
    result.outcome = outcome;
    result.whyNot = std::move(whyNot);
    return result;
}

// Fills the slots from --folder; a refusal (after its message) when it is no
// folder.
std::optional<RunResult> ApplyFolder(const Terminal& terminal, RunRequest& request,
                                     const std::string& folder, platform::FileSystem& fs) {
    const auto status = fs.Stat(folder);
    if (!status || !status->isDirectory) {
        const Message message = platform::MakeMessage(
            MessageId::FolderMissing, MessageStyle::Warning, {platform::ShownPath(folder)});
        terminal.Show(message);
        terminal.NameOptionToCorrect("--folder");
        return NotRun(CommandOutcome::InputRejected, message.text);
    }
    const FolderSelection selection = SelectFilesFromFolder(folder, fs);
    const bool chosen = PutSelectedFiles(request, selection);
    if (selection.message) {
        terminal.Show(*selection.message);
    } else if (!chosen) {
        terminal.Note(platform::TextOf(MessageId::FolderNothingChosen) + "\n(" +
                      std::string(platform::EnglishText(MessageId::FolderNothingChosen)) + ")");
    }
    return std::nullopt;
}

// The output path: the one given, or the suggested name in the current folder;
// a refusal (after its message) when there is none.
std::optional<RunResult> ChooseOutput(const Terminal& terminal, RunRequest& request,
                                      const CliOptions& options, platform::FileSystem& fs) {
    if (options.output) {
        request.outputPath = *options.output;
        return std::nullopt;
    }
    const OutputNameProposal proposal =
        ProposeOutputFileName(request.inputPaths[0], fs, request.exports.get());
    if (proposal.name.empty()) {
        const Message& message = *proposal.failure.message;
        terminal.Show(message);
        if (proposal.failure.failure == CommandOutcome::Failed) {
            return NotRun(CommandOutcome::Failed, message.text);
        }
        terminal.NameOptionToCorrect(
            OptionFor(proposal.failure.field, proposal.failure.slot, options) + " / --output");
        return NotRun(CommandOutcome::InputRejected, message.text);
    }
    const std::string name = SafeFileName(proposal.name);
    terminal.Inform("出力先 (output): " + platform::VisibleName(name));
    request.outputPath = platform::NativeName(name);
    return std::nullopt;
}

// The request the options make, its inputs chosen; a refusal when that fails
// (after its message).
std::optional<RunResult> ChooseInputs(const Terminal& terminal, RunRequest& request,
                                      const CliOptions& options, platform::FileSystem& fs) {
    request.mode = options.mode;
    request.launch = StandaloneLaunch(DefaultYear(platform::Today()));
    request.writeDocument = !options.check;
    request.exports = std::make_shared<ExportFiles>();
    if (options.folder) {
        if (auto refused = ApplyFolder(terminal, request, *options.folder, fs)) return refused;
    }
    for (std::size_t s = 0; s < kSlotCount; ++s) {
        if (options.slots[s]) request.inputPaths[s] = *options.slots[s];
    }
    return std::nullopt;
}

// The output chosen and the year taken; a refusal when that fails (after its
// message).
std::optional<RunResult> Prepare(const Terminal& terminal, RunRequest& request,
                                 const CliOptions& options, platform::FileSystem& fs) {
    if (auto refused = ChooseOutput(terminal, request, options, fs)) return refused;
    request.yearText = options.year ? *options.year : YearWithoutOption(terminal, request, fs);
    return std::nullopt;
}

// What follows the run's messages on the terminal.
void Conclude(const Terminal& terminal, const RunResult& result, const CliOptions& options) {
    switch (result.outcome) {
        case CommandOutcome::YearRejected:
            terminal.NameYearToCorrect();
            break;
        case CommandOutcome::InputRejected:
            terminal.NameOptionToCorrect(OptionFor(result.field, result.slot, options));
            break;
        case CommandOutcome::Cancelled:
            terminal.Note(platform::TextOf(MessageId::Cancelled) + " (" +
                          std::string(platform::EnglishText(MessageId::Cancelled)) + ")");
            break;
        case CommandOutcome::NothingWritten:
            terminal.Show(platform::MakeMessage(MessageId::NothingLoaded, MessageStyle::Warning));
            break;
        case CommandOutcome::Written:
        case CommandOutcome::Checked:  // its completion message says why there is no document
        case CommandOutcome::Failed:
            break;
    }
}

// One run for the options; nothing when it was not run because the report
// would replace one of its files (then no report is written either).
std::optional<RunResult> ConvertOne(const Terminal& terminal, const CliOptions& options,
                                    platform::FileSystem& fs, ConversionReport& report) {
    RunRequest request;
    std::optional<RunResult> refused = ChooseInputs(terminal, request, options, fs);
    // A report named as an input is refused before any input is read.
    if (!refused && !ReportApartFrom(terminal, options, FilesOfRun(request), fs)) {
        return std::nullopt;
    }
    if (!refused) refused = Prepare(terminal, request, options, fs);
    if (options.report) report.DescribeRun(DescribeRun(request, fs));
    if (refused) return refused;
    if (!ReportApartFrom(terminal, options, FilesOfRun(request), fs)) return std::nullopt;
    // What the run will do, before its checks and the confirmation; an output
    // that is a link is followed by the file it names.
    terminal.InformText(RunSummary(request, options, fs.ResolveLinks(request.outputPath)));
    std::optional<ProgressLine> line = WatchedProgressLine();
    const RunResult result = ExecuteRequest(
        request, [&terminal](const Question& question) { return terminal.Answer(question); }, fs,
        &report, line ? &*line : nullptr);
    for (const Message& message : result.messages) terminal.Show(message);
    Conclude(terminal, result, options);
    return result;
}

}  // namespace

std::string YearWithoutOption(const Terminal& terminal, const RunRequest& request,
                              platform::FileSystem& fs) {
    const std::optional<int> paid =
        PaymentYearOf(request.inputPaths[kMonthlySlot], fs, request.exports.get());
    const std::string year = paid ? std::to_string(EraYear(*paid)) : DefaultYear(platform::Today());
    NoteYear(terminal, year, paid);
    return year;
}

void NoteYear(const Terminal& terminal, const std::string& year, std::optional<int> paymentYear,
              const std::string& company) {
    const std::string who = company.empty() ? "" : platform::VisibleName(company) + ": ";
    if (paymentYear) {
        terminal.Inform(who + "申告年度 (year): " + year + " (支給日の年 " +
                        std::to_string(*paymentYear) + " 年 (" + EraYearName(*paymentYear) +
                        ") から / from the payment dates)");
    } else {
        terminal.Inform(who + "申告年度 (year): " + year +
                        " (支給日がないため今年 / no payment date: the current year)");
    }
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

Terminal TerminalFor(const CliOptions& options) {
    // A check writes nothing, so there is nothing to confirm.
    return Terminal(options.yes || options.check, options.quiet, options.check);
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

int FinishReport(const Terminal& terminal, const CliOptions& options,
                 const ConversionReport& report, int status, platform::FileSystem& fs) {
    if (!options.report) return status;
    if (const std::optional<Message> failure = WriteReportFile(*options.report, report, fs)) {
        terminal.Show(*failure);
        terminal.NameOptionToCorrect("--report");
        return WorseStatus(status, kExitFailed);
    }
    terminal.Inform("報告 (report): " + platform::ShownPath(*options.report));
    return status;
}

void ShowFindingCount(const Terminal& terminal, const FindingCounts& counts,
                      const CliOptions& options) {
    std::string text = ConversionReport::CountLine(counts) + "\n";
    std::size_t total = 0;
    for (const std::size_t count : counts) total += count;
    if (total > 0 && !options.report) {
        text += "詳細は --report PATH で書き出せます。 (Details: --report PATH.)\n";
    }
    terminal.InformText(text);
}

int Convert(const CliOptions& options, platform::FileSystem& fs) {
    const Terminal terminal = TerminalFor(options);
    ConversionReport report;
    report.BeginCompany({});
    const std::optional<RunResult> result = ConvertOne(terminal, options, fs, report);
    if (!result) return kExitCheckFailed;
    const int status = StatusOf(result->outcome);
    report.EndCompany(result->Written(), result->whyNot);
    if (status == kExitWritten) ShowFindingCount(terminal, report.CountAll(), options);
    return FinishReport(terminal, options, report, status, fs);
}

}  // namespace kw39::cli
