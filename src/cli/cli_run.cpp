#include "cli/cli_run.h"

#include <exception>
#include <string_view>

#include "cli/console.h"
#include "cli/progress_line.h"
#include "cli/run_progress.h"
#include "cli/run_summary.h"
#include "platform/messages.h"
#include "platform/sjis.h"
#include "platform/version.h"
#include "platform/visible_text.h"
#include "run/batch_plan.h"
#include "run/folder_selection.h"
#include "run/input_slots.h"
#include "run/launch_context.h"
#include "run/payment_year.h"
#include "run/report_file.h"
#include "run/report_guard.h"
#include "run/run_description.h"
#include "run/validate_input.h"

namespace kw39::cli {

using platform::Glossed;
using platform::TextOf;

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
        terminal.Note(TextOf(MessageId::FolderNothingChosen) + "\n(" +
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
    terminal.Inform(Glossed(MessageId::LabelOutput) + ": " + platform::VisibleName(name));
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
            terminal.Note(Glossed(MessageId::Cancelled));
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

// One run for the options and, with --report, its description; nothing when
// it was not run because the report would replace one of its files (then no
// report is written either).
struct OneRun {
    RunResult result;
    std::optional<RunDescription> description;
};

std::optional<OneRun> ConvertOne(const Terminal& terminal, const CliOptions& options,
                                 platform::FileSystem& fs) {
    RunRequest request;
    OneRun run;
    std::optional<RunResult> refused = ChooseInputs(terminal, request, options, fs);
    // A report named as an input is refused before any input is read.
    const auto reportApart = [&] {
        return !options.report ||
               ReportAccepted(terminal, CheckReportApart(*options.report, request, fs));
    };
    if (!refused && !reportApart()) return std::nullopt;
    if (!refused) refused = Prepare(terminal, request, options, fs);
    if (options.report) run.description = DescribeRun(request, fs);
    if (refused) {
        run.result = std::move(*refused);
        return run;
    }
    if (!reportApart()) return std::nullopt;
    // What the run will do, before its checks and the confirmation; an output
    // that is a link is followed by the file it names.
    terminal.InformText(RunSummary(request, options, fs.ResolveLinks(request.outputPath)));
    std::optional<ProgressLine> line = WatchedProgressLine();
    run.result = ExecuteRequest(
        request, [&terminal](const Question& question) { return terminal.Answer(question); }, fs,
        line ? &*line : nullptr);
    for (const Message& message : run.result.messages) terminal.Show(message);
    Conclude(terminal, run.result, options);
    return run;
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
    // "(支給日の年 2026 年 (令和8年) から / from the payment dates)"
    const MessageId whence = paymentYear ? MessageId::YearFromPayments : MessageId::YearOfToday;
    const std::vector<std::string> args =
        paymentYear
            ? std::vector<std::string>{std::to_string(*paymentYear), EraYearName(*paymentYear)}
            : std::vector<std::string>{};
    terminal.Inform(who + Glossed(MessageId::LabelYear) + ": " + year + " (" +
                    TextOf(whence, args) + " / " + std::string(platform::EnglishText(whence)) +
                    ")");
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

bool ReportAccepted(const Terminal& terminal, const std::optional<Message>& refusal) {
    if (!refusal) return true;
    terminal.Show(*refusal);
    terminal.NameOptionToCorrect("--report");
    return false;
}

int FinishReport(const Terminal& terminal, const CliOptions& options,
                 const ConversionReport& report, int status, platform::FileSystem& fs) {
    if (!options.report) return status;
    if (const std::optional<Message> failure = WriteReportFile(*options.report, report, fs)) {
        terminal.Show(*failure);
        terminal.NameOptionToCorrect("--report");
        return WorseStatus(status, kExitFailed);
    }
    terminal.Inform(Glossed(MessageId::LabelReport) + ": " + platform::ShownPath(*options.report));
    return status;
}

void ShowFindingCount(const Terminal& terminal, const FindingCounts& counts,
                      const CliOptions& options) {
    std::string text = ConversionReport::CountLine(counts) + "\n";
    std::size_t total = 0;
    for (const std::size_t count : counts) total += count;
    if (total > 0 && !options.report) {
        text += Glossed(MessageId::ReportHint) + "\n";
    }
    terminal.InformText(text);
}

int Convert(const CliOptions& options, platform::FileSystem& fs) {
    const Terminal terminal = TerminalFor(options);
    const std::optional<OneRun> run = ConvertOne(terminal, options, fs);
    if (!run) return kExitCheckFailed;
    const int status = StatusOf(run->result.outcome);
    ConversionReport report;
    report.Add({}, run->result, run->description);
    if (status == kExitWritten) ShowFindingCount(terminal, report.CountAll(), options);
    return FinishReport(terminal, options, report, status, fs);
}

}  // namespace kw39::cli
