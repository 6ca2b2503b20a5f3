#include "run/batch_plan.h"

#include <algorithm>
#include <cstddef>
#include <map>
#include <memory>
#include <string_view>
#include <utility>

#include "platform/messages.h"
#include "platform/sjis.h"
#include "platform/visible_text.h"
#include "run/era.h"
#include "run/input_slots.h"
#include "run/payment_year.h"
#include "run/validate_input.h"

namespace kw39 {

namespace {

// Two files each (the company and the monthly file).
constexpr std::size_t kCompaniesKeptOpen = 200;

using platform::MessageId;

void Refuse(BatchCompany& company, CommandOutcome outcome, Message message) {
    company.messages.push_back(std::move(message));
    company.refused = outcome;
    company.whyNot = company.messages.back().text;
}

// Chooses the files of a company and the name of its document, as a folder
// selection and the suggested output name would.
void PlanCompany(BatchCompany& company, const BatchRequest& batch, platform::FileSystem& fs) {
    RunRequest& request = company.request;
    request.yearText = batch.year.value_or(batch.defaultYear);
    request.mode = batch.mode;
    request.launch.launchCode = kLaunchStandalone;
    request.launch.defaultYear = request.yearText;
    request.writeDocument = batch.writeDocument;
    request.exports = std::make_shared<ExportFiles>();
    const FolderSelection selection = SelectFilesFromFolder(company.folder, fs);
    const bool chosen = PutSelectedFiles(request, selection);
    if (selection.message) {
        company.messages.push_back(*selection.message);
    } else if (!chosen) {
        company.messages.push_back(
            platform::MakeMessage(MessageId::FolderNothingChosen, MessageStyle::Warning));
    }
    const OutputNameProposal proposal =
        ProposeOutputFileName(request.inputPaths[0], fs, request.exports.get());
    if (proposal.name.empty()) {
        Refuse(company, *proposal.failure.failure, *proposal.failure.message);
        return;
    }
    company.outputName = SafeFileName(proposal.name);
    // The suggested name is text; the document's path is a name of this file
    // system.
    request.outputPath =
        platform::JoinPath(batch.outputDir, platform::NativeName(company.outputName));
    const std::optional<int> paid =
        PaymentYearOf(request.inputPaths[kMonthlySlot], fs, request.exports.get());
    if (!batch.year) {
        // Each company's data says its own year.
        company.paymentYear = paid;
        if (paid) request.yearText = std::to_string(EraYear(*paid));
    } else if (batch.writeDocument) {
        company.yearQuestion = YearMismatchQuestion(request.yearText, paid);
    }
}

// The folder names of the other companies that share a name, at most ten of
// them: thousands of copies of one company must not make every message list
// every other copy.
std::string OtherFolders(const std::vector<BatchCompany>& companies,
                         const std::vector<std::size_t>& sharing, std::size_t self) {
    constexpr std::size_t kListed = 10;
    std::string others;
    std::size_t listed = 0;
    for (const std::size_t j : sharing) {
        if (j == self) continue;
        if (listed == kListed) {
            others += " " + platform::TextOf(platform::MessageId::AndOthers,
                                             {std::to_string(sharing.size() - 1 - kListed)});
            break;
        }
        others += (others.empty() ? "" : ", ") +
                  platform::VisibleName(platform::ShownPath(companies[j].name));
        ++listed;
    }
    return others;
}

// Companies whose documents would have the same name: none of them is
// converted, so that none overwrites another. Names are compared as the file
// system will see them: in Unicode (one character may have several CP932
// codes) and without regard to case, as Windows does.
void RefuseSharedNames(std::vector<BatchCompany>& companies) {
    std::map<std::string, std::vector<std::size_t>> byName;
    for (std::size_t i = 0; i < companies.size(); ++i) {
        if (companies[i].refused) continue;
        byName[platform::FileNameKey(companies[i].outputName)].push_back(i);
    }
    for (const auto& [name, sharing] : byName) {
        if (sharing.size() < 2) continue;
        for (const std::size_t i : sharing) {
            BatchCompany& company = companies[i];
            Refuse(
                company, CommandOutcome::InputRejected,
                platform::MakeMessage(MessageId::SharedOutputName, MessageStyle::Warning,
                                      {company.outputName, OtherFolders(companies, sharing, i)}));
        }
    }
}

// Each document must spare the exports of every company of the batch, not only
// its own company's.
void ProtectEveryInput(std::vector<BatchCompany>& companies, platform::FileSystem& fs) {
    auto all = std::make_shared<std::vector<RunRequest::OtherFile>>();
    for (const BatchCompany& company : companies) {
        for (std::size_t s = 0; s < kSlotCount; ++s) {
            const std::string& path = company.request.inputPaths[s];
            if (path.empty()) continue;
            all->push_back(
                {platform::TextOf(platform::MessageId::FileOfFolder,
                                  {platform::ShownPath(company.name), InputSlots[s].pszLabel}),
                 path, fs.Identity(path)});
        }
    }
    for (BatchCompany& company : companies) company.request.otherInputs = all;
}

}  // namespace

std::optional<BatchPlan> PlanBatch(const BatchRequest& batch, platform::FileSystem& fs) {
    std::optional<platform::Subfolders> subfolders = fs.ListSubfolders(batch.root);
    if (!subfolders) return std::nullopt;
    std::sort(subfolders->names.begin(), subfolders->names.end());
    std::sort(subfolders->unnamed.begin(), subfolders->unnamed.end());
    BatchPlan plan;
    plan.unnamed = std::move(subfolders->unnamed);
    for (const std::string& name : subfolders->names) {
        const std::string folder = platform::JoinPath(batch.root, name);
        const bool readable = fs.ListCsvFiles(folder).has_value();
        if (readable && !HoldsPcaExport(folder, fs)) {
            plan.skipped.push_back(name);
            continue;
        }
        BatchCompany& company = plan.companies.emplace_back();
        company.name = name;
        company.folder = folder;
        if (readable) {
            PlanCompany(company, batch, fs);
            // Each company's files stay open from its plan to its run, up to
            // a number of companies that keeps well within the open files a
            // process may hold; the companies after them are read again when
            // they run.
            if (plan.companies.size() > kCompaniesKeptOpen) {
                company.request.exports = std::make_shared<ExportFiles>();
            }
        } else {
            // It may well hold an export: that it cannot be read is a failure
            // the clerk must see, not a folder to pass over.
            company.request.yearText = batch.year.value_or(batch.defaultYear);
            company.request.mode = batch.mode;
            Refuse(company, CommandOutcome::Failed,
                   platform::MakeMessage(MessageId::FolderUnreadable, MessageStyle::Error,
                                         {platform::VisibleName(platform::ShownPath(folder))}));
        }
    }
    RefuseSharedNames(plan.companies);
    ProtectEveryInput(plan.companies, fs);
    return plan;
}

std::vector<RunFile> FilesOfBatch(const BatchPlan& plan) {
    std::vector<RunFile> files;
    for (const BatchCompany& company : plan.companies) {
        for (RunFile& file : FilesOfRun(company.request)) {
            if (file.path.empty()) continue;
            file.label = platform::TextOf(platform::MessageId::FileOfFolder,
                                          {platform::ShownPath(company.name), file.label});
            files.push_back(std::move(file));
        }
    }
    return files;
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

}  // namespace kw39
