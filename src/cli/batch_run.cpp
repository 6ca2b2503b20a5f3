#include "cli/batch_run.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "cli/cli_run.h"
#include "cli/console.h"
#include "cli/progress_line.h"
#include "cli/report_guard.h"
#include "cli/run_progress.h"
#include "cli/run_summary.h"
#include "cli/terminal.h"
#include "cli/visible_text.h"
#include "platform/sjis.h"
#include "platform/version.h"
#include "run/conversion_report.h"
#include "run/execute_command.h"
#include "run/folder_selection.h"
#include "run/input_slots.h"
#include "run/launch_context.h"
#include "run/payment_year.h"
#include "run/run_description.h"
#include "run/validate_input.h"

namespace kw39::cli {

namespace {

struct Company {
    std::string name;               // the subfolder's name
    std::string folder;             // its path
    RunRequest request;             // what it is converted with, once planned
    std::vector<Message> messages;  // shown under its result line
    // The question when --year is not the year of its payment dates, put
    // before the batch's one confirmation.
    std::optional<Message> yearQuestion;
    std::string outputName;     // file name in the output folder, once suggested
    std::optional<int> failed;  // the status of a company that cannot be run
    std::string whyNot;         // for the report, when nothing was written
};

// Chooses the files of a company and the name of its document, as --folder
// and the suggested output name would; on failure sets `failed`.
void Plan(const Terminal& terminal, Company& company, const CliOptions& options,
          const std::string& year, platform::FileSystem& fs) {
    if (company.failed) return;
    RunRequest& request = company.request;
    request.yearText = year;
    request.mode = options.mode;
    request.launch = StandaloneLaunch(year);
    request.writeDocument = !options.check;
    const FolderSelection selection = SelectFilesFromFolder(company.folder, fs);
    const bool chosen = PutSelectedFiles(request, selection);
    if (selection.message) {
        company.messages.push_back(*selection.message);
    } else if (!chosen) {
        company.messages.push_back(
            platform::MakeMessage(MessageId::FolderNothingChosen, MessageStyle::Warning));
    }
    const OutputNameProposal proposal = ProposeOutputFileName(request.inputPaths[0], fs);
    if (!proposal.name.empty()) {
        company.outputName = SafeFileName(proposal.name);
        // Each company's data says its own year.
        if (!options.year) {
            request.yearText = YearWithoutOption(terminal, request, fs, company.name);
        } else if (!options.check) {
            company.yearQuestion = YearMismatchQuestion(
                request.yearText, PaymentYearOf(request.inputPaths[kMonthlySlot], fs));
        }
        return;
    }
    company.messages.push_back(*proposal.failure.message);
    company.failed =
        proposal.failure.failure == CommandOutcome::Failed ? kExitFailed : kExitCheckFailed;
    company.whyNot = company.messages.back().text;
}

// The folder names of the other companies that share a name, at most ten of
// them: thousands of copies of one company must not make every message list
// every other copy.
std::string OtherFolders(const std::vector<Company>& companies,
                         const std::vector<std::size_t>& sharing, std::size_t self) {
    constexpr std::size_t kListed = 10;
    std::string others;
    std::size_t listed = 0;
    for (const std::size_t j : sharing) {
        if (j == self) continue;
        if (listed == kListed) {
            others += " 他 " + std::to_string(sharing.size() - 1 - kListed) + " 件";
            break;
        }
        others += (others.empty() ? "" : ", ") + VisibleName(companies[j].name);
        ++listed;
    }
    return others;
}

// Companies whose documents would have the same name: none of them is
// converted, so that none overwrites another. Names are compared as the file
// system will see them: in Unicode (one character may have several CP932
// codes) and without regard to case, as Windows does.
void RefuseSharedNames(std::vector<Company>& companies) {
    std::map<std::string, std::vector<std::size_t>> byName;
    for (std::size_t i = 0; i < companies.size(); ++i) {
        if (companies[i].failed) continue;
        byName[platform::FileNameKey(companies[i].outputName)].push_back(i);
    }
    for (const auto& [name, sharing] : byName) {
        if (sharing.size() < 2) continue;
        for (const std::size_t i : sharing) {
            const std::string others = OtherFolders(companies, sharing, i);
            Company& company = companies[i];
            company.messages.push_back(platform::MakeMessage(
                MessageId::SharedOutputName, MessageStyle::Warning, {company.outputName, others}));
            company.failed = kExitCheckFailed;
            company.whyNot = company.messages.back().text;
        }
    }
}

std::string ResultWords(int status, bool check) {
    switch (status) {
        case kExitWritten:
            if (check) return "チェックが正常に終了しました。 (checked, not written)";
            return "正常に終了しました。 (converted)";
        case kExitCheckFailed:
            return "チェックで止まりました (check failed, status 1)";
        case kExitFailed:
            return "エラーで止まりました (failed, status 2)";
        case kExitCancelled:
            return "中止しました (cancelled, status 3)";
        case kExitNothingWritten:
            return "社員データがありません (no employee, status 4)";
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
void ShowResult(const Terminal& terminal, const Company& company, const std::string& counter,
                int status, bool check, const std::string& outputPath,
                const CompanyReport& report) {
    // With --quiet only the companies that need the clerk are shown.
    if (terminal.Quiet() && status == kExitWritten) return;
    std::string text = counter + VisibleName(company.name) + ": " + ResultWords(status, check);
    if (status == kExitWritten) {
        text += " -> " + outputPath + " (社員 " + std::to_string(report.employees) + " 名)\n";
    } else if (!company.outputName.empty()) {
        text += " -> " + company.outputName + " は作成していません (not written)\n";
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

// Runs one planned company; returns its status.
int RunCompany(Company& company, bool check, const std::string& outputDir, ConversionReport& report,
               ProgressLine* line, platform::FileSystem& fs) {
    company.request.outputPath = platform::JoinPath(outputDir, company.outputName);
    // The batch's one confirmation has answered the company's own and its
    // questions, which were put before it; a check, which asks nothing, keeps
    // a question as the warning it states.
    const auto answer = [&company, check](const Question& question) {
        if (check && question.message.style == MessageStyle::Question) {
            company.messages.push_back(QuestionStatement(question));
        }
        return true;
    };
    const RunResult result = ExecuteRequest(company.request, answer, fs, &report, line);
    company.messages.insert(company.messages.end(), result.messages.begin(), result.messages.end());
    if (result.outcome == CommandOutcome::NothingWritten) {
        company.messages.push_back(
            platform::MakeMessage(MessageId::NothingLoaded, MessageStyle::Warning));
    }
    company.whyNot = result.whyNot;
    return StatusOf(result.outcome);
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
                                            {*options.batch}));
        terminal.NameOptionToCorrect("--batch");
        return false;
    }
    const auto output = fs.Stat(*options.outputDir);
    if (!output || !output->isDirectory) {
        terminal.Show(platform::MakeMessage(MessageId::OutputFolderMissing, MessageStyle::Warning,
                                            {*options.outputDir}));
        terminal.NameOptionToCorrect("--output-dir");
        return false;
    }
    return true;
}

// Folder names for one line, their control characters shown.
std::string Joined(const std::vector<std::string>& names) {
    std::string joined;
    for (const std::string& name : names) {
        joined += (joined.empty() ? "" : ", ") + VisibleName(name);
    }
    return joined;
}

// The company folders under the root, in name order; notes the folders left
// aside. Nothing when the root cannot be listed.
std::optional<std::vector<Company>> FindCompanies(const Terminal& terminal, const std::string& root,
                                                  platform::FileSystem& fs) {
    std::optional<platform::Subfolders> subfolders = fs.ListSubfolders(root);
    if (!subfolders) return std::nullopt;
    std::sort(subfolders->names.begin(), subfolders->names.end());
    std::sort(subfolders->unnamed.begin(), subfolders->unnamed.end());
    std::vector<Company> companies;
    std::vector<std::string> skipped;
    for (const std::string& name : subfolders->names) {
        const std::string folder = platform::JoinPath(root, name);
        if (!fs.ListCsvFiles(folder)) {
            // It may well hold an export: that it cannot be read is a failure
            // the clerk must see, not a folder to pass over.
            Company& company = companies.emplace_back();
            company.name = name;
            company.folder = folder;
            company.failed = kExitFailed;
            company.messages.push_back(platform::MakeMessage(
                MessageId::FolderUnreadable, MessageStyle::Error, {VisibleName(folder)}));
            company.whyNot = company.messages.back().text;
            continue;
        }
        if (!HoldsPcaExport(folder, fs)) {
            skipped.push_back(name);
            continue;
        }
        Company& company = companies.emplace_back();
        company.name = name;
        company.folder = folder;
    }
    if (!skipped.empty()) {
        terminal.Inform(
            "PCA給与X の CSV ファイルがないため対象外のフォルダ (skipped, no PCA export): " +
            Joined(skipped));
    }
    if (!subfolders->unnamed.empty()) {
        terminal.Inform(
            "名前を Shift_JIS で表せないため対象外のフォルダ (skipped, name not in Shift_JIS): " +
            Joined(subfolders->unnamed));
    }
    return companies;
}

// Every file the batch reads, and every document it will write.
std::vector<RunFile> FilesOfBatch(std::vector<Company>& companies, const std::string& outputDir) {
    std::vector<RunFile> files;
    for (Company& company : companies) {
        for (RunFile& file : FilesOfRun(company.request)) {
            if (file.path.empty()) continue;
            file.label = company.name + " の" + file.label;
            files.push_back(std::move(file));
        }
        if (!company.outputName.empty()) {
            files.push_back({company.name + " の出力先データ",
                             platform::JoinPath(outputDir, company.outputName)});
        }
    }
    return files;
}

struct Tally {
    int worst = kExitWritten;
    std::size_t converted = 0;
    std::vector<std::string> notConverted;
};

void RefuseRewrite(Company& company, const std::string& outputPath) {
    company.messages.push_back(
        platform::MakeMessage(MessageId::RewriteRefused, MessageStyle::Warning, {outputPath}));
    company.whyNot = company.messages.back().text;
    company.failed = kExitCheckFailed;
}

// What the outcome line of a company's report says of its run.
RunDescription Described(const Company& company, const std::string& outputDir,
                         const std::string& year, const CliOptions& options,
                         platform::FileSystem& fs) {
    RunRequest request = company.request;
    // A planned company carries its own year (its data's, without --year);
    // one that could not even be planned, the batch's.
    if (request.yearText.empty()) {
        request.yearText = year;
        request.mode = options.mode;
    }
    if (!company.outputName.empty()) {
        request.outputPath = platform::JoinPath(outputDir, company.outputName);
    }
    return DescribeRun(request, fs);
}

// Converts every company that can be run (none when cancelled) and shows the
// result line of each.
Tally RunCompanies(const Terminal& terminal, std::vector<Company>& companies,
                   const CliOptions& options, const std::string& year, bool cancelled,
                   ConversionReport& report, platform::FileSystem& fs) {
    const std::string& outputDir = *options.outputDir;
    std::optional<ProgressLine> line = WatchedProgressLine();
    Tally tally;
    // The documents this batch has written: however two names came to mean one
    // file, a later company never replaces an earlier one's document.
    std::set<platform::FileIdentity> written;
    for (std::size_t i = 0; i < companies.size(); ++i) {
        Company& company = companies[i];
        // Appended piece by piece: GCC 12 misreports chained operator+ on
        // std::string (-Wrestrict) at higher optimisation levels.
        std::string counter = "[";
        counter += std::to_string(i + 1);
        counter += '/';
        counter += std::to_string(companies.size());
        counter += "] ";
        report.BeginCompany(company.name);
        int status = company.failed.value_or(kExitCancelled);
        std::string outputPath;
        if (!company.failed && !cancelled) {
            outputPath = platform::JoinPath(outputDir, company.outputName);
            if (const auto identity = fs.Identity(outputPath);
                identity && written.count(*identity)) {
                RefuseRewrite(company, outputPath);
                status = *company.failed;
            } else {
                if (line) line->SetPrefix(counter + company.name + ": ");
                status = RunCompany(company, options.check, outputDir, report,
                                    line ? &*line : nullptr, fs);
                if (status == kExitWritten) {
                    if (const auto identity = fs.Identity(outputPath)) written.insert(*identity);
                }
            }
        } else if (!company.failed) {
            company.whyNot = platform::TextOf(MessageId::Cancelled);
        }
        if (options.report) report.DescribeRun(Described(company, outputDir, year, options, fs));
        report.EndCompany(status == kExitWritten && !options.check, company.whyNot);
        // After a cancel only the companies that had failed already are shown.
        if (!cancelled || company.failed) {
            ShowResult(terminal, company, counter, status, options.check, outputPath,
                       report.Companies().back());
        }
        tally.worst = WorseStatus(tally.worst, status);
        if (status == kExitWritten) {
            ++tally.converted;
        } else {
            tally.notConverted.push_back(company.name);
        }
    }
    return tally;
}

// The last lines of a batch: how many companies were converted (or, in a
// check, could be) and which were not.
std::string TallyText(const Tally& tally, std::size_t count, bool check) {
    const std::string done = std::to_string(tally.converted);
    const std::string all = std::to_string(count);
    std::string text =
        check ? "一括チェックの結果 (batch check result): " + all + " 社中 " + done +
                    " 社を変換できます。 (" + done + " of " + all + " companies can be converted.)"
              : "一括変換の結果 (batch result): " + all + " 社中 " + done +
                    " 社を変換しました。 (" + done + " of " + all + " companies converted.)";
    if (!tally.notConverted.empty()) {
        text += check ? "\n変換できない会社 (cannot be converted): "
                      : "\n変換できなかった会社 (not converted): ";
        text += Joined(tally.notConverted);
    }
    return text;
}

}  // namespace

int RunBatch(const CliOptions& options, platform::FileSystem& fs) {
    const Terminal terminal = TerminalFor(options);
    const std::string year = options.year ? *options.year : DefaultYear(platform::Today());
    ConversionReport report;
    if (!CheckBatchOptions(terminal, options, year, fs)) {
        return FinishReport(terminal, options, report, kExitCheckFailed, fs);
    }
    std::optional<std::vector<Company>> companies = FindCompanies(terminal, *options.batch, fs);
    if (!companies) {
        terminal.Show(platform::MakeMessage(MessageId::FolderUnreadable, MessageStyle::Error,
                                            {*options.batch}));
        return FinishReport(terminal, options, report, kExitFailed, fs);
    }
    if (companies->empty()) {
        terminal.Show(platform::MakeMessage(MessageId::NoCompanyFolders, MessageStyle::Warning,
                                            {*options.batch}));
        terminal.NameOptionToCorrect("--batch");
        return FinishReport(terminal, options, report, kExitCheckFailed, fs);
    }

    for (Company& company : *companies) Plan(terminal, company, options, year, fs);
    RefuseSharedNames(*companies);
    if (!ReportApartFrom(terminal, options, FilesOfBatch(*companies, *options.outputDir), fs)) {
        return kExitCheckFailed;  // the report is not written: it would replace that file
    }

    const std::size_t count = companies->size();
    if (!terminal.Quiet()) {
        std::vector<CompanyYear> years;
        for (const Company& company : *companies) {
            if (!company.failed) years.push_back({company.name, company.request.yearText});
        }
        WriteStderr(BatchSummary(year, options, years));
    }
    terminal.Inform("一括変換 (batch): " + std::to_string(count) + " 社 (companies), " +
                    *options.batch + " -> " + *options.outputDir);
    const bool anyToRun = std::any_of(companies->begin(), companies->end(),
                                      [](const Company& company) { return !company.failed; });
    // Every company's question comes before the one confirmation that
    // answers them all.
    for (const Company& company : *companies) {
        if (company.failed || !company.yearQuestion) continue;
        Message question = *company.yearQuestion;
        question.text = VisibleName(company.name) + ": " + question.text;
        WriteStderr(FormatMessage(Message{question.text, question.style}) + "(" +
                    platform::Compose(platform::EnglishText(question.id), question.args) + ")\n");
    }
    bool cancelled = false;
    if (anyToRun &&
        !terminal.Answer({platform::MakeMessage(MessageId::Confirm, MessageStyle::Confirm)})) {
        terminal.Note(platform::TextOf(MessageId::Cancelled) + " (" +
                      std::string(platform::EnglishText(MessageId::Cancelled)) + ")");
        cancelled = true;
    }

    const Tally tally = RunCompanies(terminal, *companies, options, year, cancelled, report, fs);
    terminal.Inform(TallyText(tally, count, options.check));
    if (tally.converted > 0) ShowFindingCount(terminal, report.CountAll(), options);
    return FinishReport(terminal, options, report, tally.worst, fs);
}

}  // namespace kw39::cli
