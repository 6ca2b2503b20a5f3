#include "cli/batch_run.h"

#include <algorithm>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "cli/cli_run.h"
#include "cli/console.h"
#include "cli/gated_file_system.h"
#include "cli/progress_line.h"
#include "cli/run_progress.h"
#include "cli/run_summary.h"
#include "cli/terminal.h"
#include "cli/turn_order.h"
#include "platform/messages.h"
#include "platform/sjis.h"
#include "platform/version.h"
#include "platform/visible_text.h"
#include "run/batch_plan.h"
#include "run/conversion_report.h"
#include "run/execute_command.h"
#include "run/folder_selection.h"
#include "run/input_slots.h"
#include "run/launch_context.h"
#include "run/payment_year.h"
#include "run/report_guard.h"
#include "run/run_description.h"
#include "run/validate_input.h"

namespace kw39::cli {

using platform::Glossed;
using platform::TextOf;

namespace {

// A folder's or file's name as text to show.
std::string Shown(const std::string& name) { return platform::ShownPath(name); }

std::string ResultWords(int status, bool check) {
    switch (status) {
        case kExitWritten:
            return Glossed(check ? MessageId::ResultChecked : MessageId::ResultConverted);
        case kExitCheckFailed:
            return Glossed(MessageId::ResultCheckFailed);
        case kExitFailed:
            return Glossed(MessageId::ResultFailed);
        case kExitCancelled:
            return Glossed(MessageId::ResultCancelled);
        case kExitNothingWritten:
            return Glossed(MessageId::ResultNoEmployee);
    }
    return "status " + std::to_string(status);
}

// Every line of `text` set in by four blanks (empty lines stay empty).
std::string Indented(const std::string& text) {
    std::string indented;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        if (end > start) indented += "    " + text.substr(start, end - start);
        indented += '\n';
        start = end + 1;
    }
    return indented;
}

// The result line of a company and, under it, its messages and findings.
void ShowResult(const Terminal& terminal, const BatchCompany& company, const std::string& counter,
                int status, bool check, const std::string& outputPath,
                const CompanyReport& report) {
    // With --quiet only the companies that need the clerk are shown.
    if (terminal.Quiet() && status == kExitWritten) return;
    std::string text =
        counter + platform::VisibleName(Shown(company.name)) + ": " + ResultWords(status, check);
    if (status == kExitWritten) {
        text += " -> " + Shown(outputPath) + " (" +
                TextOf(MessageId::EmployeeCount, {std::to_string(report.employees)}) + ")\n";
    } else if (!company.outputName.empty()) {
        text += " -> " + Glossed(MessageId::NotCreated, {company.outputName}) + "\n";
    } else {
        text += "\n";
    }
    for (const Message& message : company.messages) {
        // The completion message is what the result line says already.
        if (message.style == MessageStyle::Info) continue;
        text += Indented(FormatMessage(message));
    }
    if (status == kExitWritten) {
        text += Indented(ConversionReport::CountLine(ConversionReport::Count(report)));
    }
    WriteStderr(text);
}

// Runs one planned company; returns its result.
RunResult RunCompany(BatchCompany& company, bool check, ProgressLine* line,
                     platform::FileSystem& fs) {
    // The batch's one confirmation has answered the company's own and its
    // questions, which were put before it; a check, which asks nothing, keeps
    // a question as the warning it states.
    const auto answer = [&company, check](const Question& question) {
        if (check && question.message.style == MessageStyle::Question) {
            company.messages.push_back(QuestionStatement(question));
        }
        return true;
    };
    RunResult result = ExecuteRequest(company.request, answer, fs, line);
    company.messages.insert(company.messages.end(), result.messages.begin(), result.messages.end());
    if (result.outcome == CommandOutcome::NothingWritten) {
        company.messages.push_back(
            platform::MakeMessage(MessageId::NothingLoaded, MessageStyle::Warning));
    }
    company.whyNot = result.whyNot;
    return result;
}

// The checks of the batch as a whole; false after a message.
bool CheckBatchOptions(const Terminal& terminal, const CliOptions& options, const std::string& year,
                       platform::FileSystem& fs) {
    if (!IsAcceptableYear(year)) {
        terminal.Show(platform::MakeMessage(MessageId::YearRejected, MessageStyle::Warning));
        terminal.NameYearToCorrect();
        return false;
    }
    const auto root = fs.Stat(*options.batch);
    if (!root || !root->isDirectory) {
        terminal.Show(platform::MakeMessage(MessageId::FolderMissing, MessageStyle::Warning,
                                            {Shown(*options.batch)}));
        terminal.NameOptionToCorrect("--batch");
        return false;
    }
    const auto output = fs.Stat(*options.outputDir);
    if (!output || !output->isDirectory) {
        terminal.Show(platform::MakeMessage(MessageId::OutputFolderMissing, MessageStyle::Warning,
                                            {Shown(*options.outputDir)}));
        terminal.NameOptionToCorrect("--output-dir");
        return false;
    }
    return true;
}

// Folder names for one line, their control characters shown.
std::string Joined(const std::vector<std::string>& names) {
    std::string joined;
    for (const std::string& name : names) {
        joined += (joined.empty() ? "" : ", ") + platform::VisibleName(Shown(name));
    }
    return joined;
}

struct Tally {
    int worst = kExitWritten;
    std::size_t converted = 0;
    std::vector<std::string> notConverted;
};

void RefuseRewrite(BatchCompany& company, const std::string& outputPath) {
    company.messages.push_back(platform::MakeMessage(MessageId::RewriteRefused,
                                                     MessageStyle::Warning, {Shown(outputPath)}));
    company.whyNot = company.messages.back().text;
    company.refused = CommandOutcome::InputRejected;
}

// A company's document would replace one this batch has written: however two
// names came to mean one file, a later company never replaces an earlier
// one's document. Decided by the file system, in the company's turn.
class WrittenDocuments {
  public:
    explicit WrittenDocuments(platform::FileSystem& fs) : m_fs(fs) {}
    bool Holds(const std::string& path) {
        const auto identity = m_fs.Identity(path);
        return identity && m_written.count(*identity) > 0;
    }
    void Add(const std::string& path) {
        if (const auto identity = m_fs.Identity(path)) m_written.insert(*identity);
    }

  private:
    platform::FileSystem& m_fs;
    std::set<platform::FileIdentity> m_written;
};

// Thrown at the commit of a company running ahead whose turn says no.
class CommitRefused : public std::runtime_error {
  public:
    CommitRefused() : std::runtime_error("the document is not put in place") {}
};

// What became of one company while it ran, kept until its turn.
struct CompanyRun {
    RunResult result;
    std::optional<bool> rewrite;       // whether its document would replace one, once decided
    std::size_t nPlannedMessages = 0;  // its messages before it ran
};

// "[2/5] ": a company's place in the batch. Appended piece by piece: GCC 12
// misreports chained operator+ on std::string (-Wrestrict) at higher
// optimisation levels.
std::string CounterOf(std::size_t i, std::size_t count) {
    std::string counter = "[";
    counter += std::to_string(i + 1);
    counter += '/';
    counter += std::to_string(count);
    counter += "] ";
    return counter;
}

// The companies of a batch, two converted at once. A company may run ahead of
// its turn, except one whose progress is drawn (the line shows the company in
// turn); its document is put in place only in its turn, and what it shows
// waits for its turn.
class BatchRun {
  public:
    BatchRun(const Terminal& terminal, std::vector<BatchCompany>& companies,
             const CliOptions& options, bool cancelled, ConversionReport& report,
             platform::FileSystem& fs)
        : m_terminal(terminal),
          m_companies(companies),
          m_options(options),
          m_bCancelled(cancelled),
          m_report(report),
          m_fs(fs),
          m_line(WatchedProgressLine()),
          m_written(fs),
          m_runs(companies.size()) {}

    Tally Run() {
        RunInTurnOrder(
            m_companies.size(), m_turns, [this](std::size_t i) { RunCompanyAhead(i); },
            [this](std::size_t i) { FinishInTurn(i); });
        return m_tally;
    }

  private:
    // Converts company `i` (when it is to run), in its turn or ahead of it.
    void RunCompanyAhead(std::size_t i) {
        BatchCompany& company = m_companies[i];
        if (company.refused || m_bCancelled) return;
        CompanyRun& ran = m_runs[i];
        ran.nPlannedMessages = company.messages.size();
        const std::string& outputPath = company.request.outputPath;
        const bool drawn =
            m_line && ChosenInputBytes(company.request, m_fs) >= kProgressMinimumBytes;
        if (drawn && !m_turns.WaitFor(i)) return;
        // In its turn already, a company is refused before it runs.
        if (m_turns.Reached(i)) ran.rewrite = m_written.Holds(outputPath);
        if (ran.rewrite.value_or(false)) return;
        GatedFileSystem gated(m_fs, [this, &ran, &outputPath, i] {
            if (!m_turns.WaitFor(i)) throw CommitRefused();
            if (!ran.rewrite) ran.rewrite = m_written.Holds(outputPath);
            if (*ran.rewrite) throw CommitRefused();
        });
        if (drawn) m_line->SetPrefix(CounterOf(i, m_companies.size()) + Shown(company.name) + ": ");
        ran.result = RunCompany(company, m_options.check, drawn ? &*m_line : nullptr, gated);
    }

    // What became of company `i`, in its turn: its refusal if its document
    // would replace one of the batch, its result line and its report line.
    void FinishInTurn(std::size_t i) {
        BatchCompany& company = m_companies[i];
        CompanyRun& ran = m_runs[i];
        // A company not run has only its reason.
        const bool planned = !company.refused;
        int status = planned ? kExitCancelled : StatusOf(*company.refused);
        const std::string& outputPath = company.request.outputPath;
        if (planned && !m_bCancelled) {
            if (!ran.rewrite) ran.rewrite = m_written.Holds(outputPath);
            if (*ran.rewrite) {
                // Refused as if it had never run.
                ran.result = RunResult();
                company.messages.erase(
                    company.messages.begin() + static_cast<std::ptrdiff_t>(ran.nPlannedMessages),
                    company.messages.end());
                RefuseRewrite(company, outputPath);
                status = StatusOf(*company.refused);
            } else {
                status = StatusOf(ran.result.outcome);
                if (status == kExitWritten) m_written.Add(outputPath);
            }
        } else if (planned) {
            company.whyNot = platform::TextOf(MessageId::Cancelled);
        }
        Conclude(i, std::move(ran.result), status, planned);
    }

    void Conclude(std::size_t i, RunResult result, int status, bool planned) {
        BatchCompany& company = m_companies[i];
        result.whyNot = company.whyNot;
        std::optional<RunDescription> description;
        if (m_options.report) description = DescribeRun(company.request, m_fs);
        company.request.exports.reset();  // its files are closed
        m_report.Add(Shown(company.name), result, std::move(description));
        // After a cancel only the companies that had failed already are shown.
        if (!m_bCancelled || !planned) {
            ShowResult(m_terminal, company, CounterOf(i, m_companies.size()), status,
                       m_options.check, company.request.outputPath, m_report.Companies().back());
        }
        m_tally.worst = WorseStatus(m_tally.worst, status);
        if (status == kExitWritten) {
            ++m_tally.converted;
        } else {
            m_tally.notConverted.push_back(company.name);
        }
    }

    const Terminal& m_terminal;
    std::vector<BatchCompany>& m_companies;
    const CliOptions& m_options;
    const bool m_bCancelled;
    ConversionReport& m_report;
    platform::FileSystem& m_fs;
    std::optional<ProgressLine> m_line;
    WrittenDocuments m_written;
    std::vector<CompanyRun> m_runs;
    TurnOrder m_turns;
    Tally m_tally;
};

// The last lines of a batch: how many companies were converted (or, in a
// check, could be) and which were not.
std::string TallyText(const Tally& tally, std::size_t count, bool check) {
    const std::string done = std::to_string(tally.converted);
    const std::string all = std::to_string(count);
    std::string text =
        Glossed(check ? MessageId::LabelBatchCheckResult : MessageId::LabelBatchResult) + ": " +
        Glossed(check ? MessageId::BatchCanConvert : MessageId::BatchConverted, {all, done});
    if (!tally.notConverted.empty()) {
        text += "\n" +
                Glossed(check ? MessageId::LabelCannotConvert : MessageId::LabelNotConverted) +
                ": " + Joined(tally.notConverted);
    }
    return text;
}

// The notes of planning: the folders left aside, and each company's year
// when it is its data's.
void NotePlan(const Terminal& terminal, const BatchPlan& plan, bool yearGiven) {
    if (!plan.skipped.empty()) {
        terminal.Inform(Glossed(MessageId::LabelSkippedNoExport) + ": " + Joined(plan.skipped));
    }
    if (!plan.unnamed.empty()) {
        terminal.Inform(Glossed(MessageId::LabelSkippedUnnamed) + ": " + Joined(plan.unnamed));
    }
    if (yearGiven) return;
    for (const BatchCompany& company : plan.companies) {
        if (company.outputName.empty()) continue;
        NoteYear(terminal, company.request.yearText, company.paymentYear, Shown(company.name));
    }
}

// Every company's question comes before the one confirmation that answers
// them all.
void ShowYearQuestions(const std::vector<BatchCompany>& companies) {
    for (const BatchCompany& company : companies) {
        if (company.refused || !company.yearQuestion) continue;
        const Message& question = *company.yearQuestion;
        WriteStderr(
            FormatMessage(Message{platform::VisibleName(Shown(company.name)) + ": " + question.text,
                                  question.style}) +
            "(" + platform::Compose(platform::EnglishText(question.id), question.args) + ")\n");
    }
}

}  // namespace

int RunBatch(const CliOptions& options, platform::FileSystem& fs) {
    const Terminal terminal = TerminalFor(options);
    const std::string year = options.year ? *options.year : DefaultYear(platform::Today());
    ConversionReport report;
    if (!CheckBatchOptions(terminal, options, year, fs)) {
        return FinishReport(terminal, options, report, kExitCheckFailed, fs);
    }
    BatchRequest batch;
    batch.root = *options.batch;
    batch.outputDir = *options.outputDir;
    batch.year = options.year;
    batch.defaultYear = DefaultYear(platform::Today());
    batch.mode = options.mode;
    batch.writeDocument = !options.check;
    std::optional<BatchPlan> plan = PlanBatch(batch, fs);
    if (!plan) {
        terminal.Show(platform::MakeMessage(MessageId::FolderUnreadable, MessageStyle::Error,
                                            {Shown(*options.batch)}));
        return FinishReport(terminal, options, report, kExitFailed, fs);
    }
    NotePlan(terminal, *plan, options.year.has_value());
    std::vector<BatchCompany>& companies = plan->companies;
    if (companies.empty()) {
        terminal.Show(platform::MakeMessage(MessageId::NoCompanyFolders, MessageStyle::Warning,
                                            {Shown(*options.batch)}));
        terminal.NameOptionToCorrect("--batch");
        return FinishReport(terminal, options, report, kExitCheckFailed, fs);
    }
    if (options.report &&
        !ReportAccepted(terminal, CheckReportApart(*options.report, FilesOfBatch(*plan), fs))) {
        return kExitCheckFailed;  // the report is not written: it would replace that file
    }

    const std::size_t count = companies.size();
    if (!terminal.Quiet()) {
        std::vector<CompanyYear> years;
        for (const BatchCompany& company : companies) {
            if (!company.refused) years.push_back({company.name, company.request.yearText});
        }
        WriteStderr(BatchSummary(year, options, years));
    }
    terminal.Inform(Glossed(MessageId::LabelBatch) + ": " +
                    Glossed(MessageId::CompanyCount, {std::to_string(count)}) + ", " +
                    Shown(*options.batch) + " -> " + Shown(*options.outputDir));
    const bool anyToRun = std::any_of(companies.begin(), companies.end(),
                                      [](const BatchCompany& company) { return !company.refused; });
    ShowYearQuestions(companies);
    bool cancelled = false;
    if (anyToRun &&
        !terminal.Answer({platform::MakeMessage(MessageId::Confirm, MessageStyle::Confirm)})) {
        terminal.Note(Glossed(MessageId::Cancelled));
        cancelled = true;
    }

    const Tally tally = BatchRun(terminal, companies, options, cancelled, report, fs).Run();
    terminal.Inform(TallyText(tally, count, options.check));
    if (tally.converted > 0) ShowFindingCount(terminal, report.CountAll(), options);
    return FinishReport(terminal, options, report, tally.worst, fs);
}

}  // namespace kw39::cli
