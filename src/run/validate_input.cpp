#include "run/validate_input.h"

#include <cstddef>
#include <exception>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "pca/data_line_error.h"
#include "pca/header_line.h"
#include "platform/line_reader.h"
#include "platform/sjis.h"
#include "run/execute_command.h"
#include "run/input_slots.h"
#include "run/output_location.h"
#include "run/payment_year.h"
#include "run/text_encoding_check.h"

namespace kw39 {

namespace {

constexpr std::string_view kCompanyTable = "10000";

// Code and name of the company data line that follows a [10000] header line.
struct CompanyFields {
    std::string code;
    std::string name;
};

// Reads the line after a [10000] header (whatever it holds) and takes its first
// two fields. Without them the file cannot name its company: that is a
// malformed data line, reported with the file and the line.
CompanyFields ReadCompanyLine(platform::LineReader& reader, const std::string& path) {
    const std::size_t headerLine = reader.LineNumber();
    std::string_view line;
    if (!reader.Next(line)) {
        throw DataLineError(path, headerLine + 1,
                            "[10000] の次に会社コードと会社名の行がありません。");
    }
    std::vector<std::string> fields;
    SplitCsvLine(platform::TrimTrailingBlanks(line), fields);
    if (fields.size() < 2) {
        throw DataLineError(path, reader.LineNumber(),
                            "[10000] の行に会社コードと会社名の 2 項目がありません。");
    }
    return {std::move(fields[0]), std::move(fields[1])};
}

struct CompanyKey {
    std::string key;  // company code, "@", company name
    std::size_t slot;
};

// What one input file holds: its identifying table and its company blocks.
struct FileScan {
    bool hasExpectedTable = false;
    bool hasCompanyBlock = false;
};

// Scans the whole file; header lines may come in any order. `dates`, when
// given, counts the payment dates on the way.
FileScan ScanInputFile(platform::InputFile& file, const std::string& path,
                       std::string_view expectedTable, std::size_t slot,
                       std::vector<CompanyKey>& keys, PaymentYearTally* dates) {
    FileScan scan;
    platform::LineReader reader(file);
    std::string_view raw;
    while (reader.Next(raw)) {
        const std::string_view line = platform::TrimTrailingBlanks(raw);
        if (dates) dates->AddLine(line);
        if (!IsHeaderLine(line)) continue;
        const std::string code = HeaderTableCode(line);
        if (code == expectedTable) scan.hasExpectedTable = true;
        if (code == kCompanyTable) {
            const CompanyFields company = ReadCompanyLine(reader, path);
            keys.push_back({company.code + "@" + company.name, slot});
            scan.hasCompanyBlock = true;
        }
    }
    return scan;
}

// Reads, through the check, what line reading left unread (after a 0x1A byte,
// or after a malformed company line) until the verdict can no longer change.
void ReadUnreadRest(CheckedInputFile& file, const TextEncodingCheck& check) {
    char buffer[1 << 14];
    while (check.VerdictMayChange() && file.Read(buffer, sizeof buffer) > 0) {
    }
}

std::string EncodingDetail(const TextVerdict& verdict) {
    const std::string line = std::to_string(verdict.nLine);
    switch (verdict.problem) {
        case TextProblem::Utf16:
            return platform::TextOf(MessageId::EncodingUtf16);
        case TextProblem::Utf8:
            return platform::TextOf(MessageId::EncodingUtf8);
        case TextProblem::NulBytes:
            return platform::TextOf(MessageId::EncodingNulBytes);
        case TextProblem::NotShiftJis:
            return platform::TextOf(MessageId::EncodingNotShiftJis, {line});
        case TextProblem::DataAfterEnd:
            return platform::TextOf(MessageId::EncodingDataAfterEnd, {line});
        case TextProblem::None:
            break;
    }
    return "";
}

CheckResult Reject(Message message, RunField field, std::size_t slot = 0) {
    CheckResult result;
    result.failure = CommandOutcome::InputRejected;
    result.field = field;
    result.slot = slot;
    result.message = std::move(message);
    return result;
}

CheckResult RejectSlot(std::size_t slot, MessageId id, std::vector<std::string> args = {}) {
    return Reject(platform::MakeMessage(id, MessageStyle::Warning, std::move(args)),
                  RunField::Input, slot);
}

// The message for a file that is not Shift_JIS text: what it is, and what to do.
CheckResult RejectEncoding(std::size_t slot, const std::string& path, const TextVerdict& verdict) {
    return RejectSlot(slot, MessageId::InputEncoding,
                      {InputSlots[slot].pszLabel, path, EncodingDetail(verdict)});
}

// Step 1: every chosen file exists, can be read and is of its slot's kind.
// The payment dates of the monthly file are counted in the same reading.
CheckResult CheckInputFiles(const RunRequest& request, platform::FileSystem& fs,
                            std::vector<CompanyKey>& keys, PaymentYearTally& dates) {
    for (std::size_t s = 0; s < InputSlots.size(); ++s) {
        const InputSlot& slot = InputSlots[s];
        const std::string& path = request.inputPaths[s];
        if (path.empty()) continue;
        const auto status = fs.Stat(path);
        if (!status) return RejectSlot(s, MessageId::InputMissing, {path});
        if (status->isDirectory || status->isSpecial) {
            return RejectSlot(s, MessageId::InputNotPlain, {slot.pszLabel, path});
        }
        FileScan scan;
        TextEncodingCheck encoding;
        {
            const std::unique_ptr<platform::InputFile> file = fs.OpenRead(path);
            if (!file) return RejectSlot(s, MessageId::InputNotOpened, {slot.pszLabel, path});
            CheckedInputFile checked(*file, encoding);
            // A company line without its two fields is no surprise in a file
            // that is no text at all; that is then the message to show.
            std::exception_ptr malformedLine;
            try {
                scan = ScanInputFile(checked, path, slot.pszTableCode, s, keys,
                                     s == kMonthlySlot ? &dates : nullptr);
            } catch (const DataLineError&) {
                malformedLine = std::current_exception();
            }
            ReadUnreadRest(checked, encoding);
            if (malformedLine && encoding.Verdict().problem == TextProblem::None) {
                std::rethrow_exception(malformedLine);
            }
        }  // closed before any message is shown
        // A file that is no Shift_JIS text is refused as such also when its
        // tables were not found (a UTF-16 file shows no "[10000]" at all): the
        // encoding is then the cause the clerk can correct.
        const TextVerdict verdict = encoding.Verdict();
        if (verdict.problem != TextProblem::None) {
            return RejectEncoding(s, path, verdict);
        }
        if (!scan.hasExpectedTable || !scan.hasCompanyBlock) {
            return RejectSlot(s, MessageId::InputWrongKind, {slot.pszLabel});
        }
    }
    return {};
}

// Step 2: all files come from one company.
CheckResult CheckSameCompany(const std::vector<CompanyKey>& keys) {
    for (const CompanyKey& key : keys) {
        if (key.key != keys.front().key) {
            return RejectSlot(key.slot, MessageId::CompanyMismatch);
        }
    }
    return {};
}

// Step 3: the company and the employee files are chosen.
CheckResult CheckMandatorySlots(const RunRequest& request) {
    std::string missing;
    std::optional<std::size_t> first;
    for (std::size_t s = 0; s < InputSlots.size(); ++s) {
        if (!InputSlots[s].bMandatory || !request.inputPaths[s].empty()) continue;
        missing += std::string(InputSlots[s].pszLabel) + "\n";
        if (!first) first = s;
    }
    if (missing.empty()) return {};
    return RejectSlot(*first, MessageId::RequiredMissing, {missing});
}

// Something is at the output path that cannot be replaced: the message says
// so (and why, when it is known). The dialog leaves the focus where it is.
CheckResult SaveFailed(MessageId id, std::vector<std::string> args = {}) {
    CheckResult failed =
        Reject(platform::MakeMessage(id, MessageStyle::Error, std::move(args)), RunField::Output);
    failed.focus = false;
    return failed;
}

// Step 4: an output path is given and, if something is there, it may be replaced.
CheckResult CheckOutputPath(const RunRequest& request, platform::FileSystem& fs) {
    const std::string& path = request.outputPath;
    if (path.empty()) {
        return Reject(platform::MakeMessage(MessageId::OutputNotChosen, MessageStyle::Warning),
                      RunField::Output);
    }
    // Writing the document over one of the chosen exports would destroy it,
    // however the two paths are spelled.
    for (std::size_t s = 0; s < InputSlots.size(); ++s) {
        const std::string& input = request.inputPaths[s];
        if (input.empty() || !fs.SameFile(input, path)) continue;
        return Reject(platform::MakeMessage(MessageId::OutputIsInput, MessageStyle::Warning,
                                            {InputSlots[s].pszLabel, path}),
                      RunField::Output);
    }
    if (const auto target = fs.Stat(fs.ResolveLinks(path)); target && target->isDirectory) {
        // A folder cannot be saved over, as a file held by another program
        // cannot: the same message, then why.
        return SaveFailed(MessageId::SaveFailedOverFolder, {kOutputLabel, path});
    }
    if (auto problem = OutputLocationProblem(fs, path, kOutputLabel)) {
        return Reject(std::move(*problem), RunField::Output);
    }
    if (fs.Stat(path) && !fs.ProbeExclusiveWrite(path)) return SaveFailed(MessageId::SaveFailed);
    return {};
}

}  // namespace

CheckResult CheckInputSet(const RunRequest& request, platform::FileSystem& fs) {
    std::vector<CompanyKey> keys;
    PaymentYearTally dates;
    CheckResult result = CheckInputFiles(request, fs, keys, dates);
    if (result.Passed()) result = CheckSameCompany(keys);
    if (result.Passed()) result = CheckMandatorySlots(request);
    if (result.Passed()) result = CheckOutputPath(request, fs);
    if (result.Passed()) result.paymentYear = dates.Year();
    return result;
}

namespace {

OutputNameProposal ProposeOrThrow(const std::string& path, platform::FileSystem& fs) {
    constexpr std::size_t kCompany = 0;
    const char* const label = InputSlots[kCompany].pszLabel;
    if (path.empty()) return {{}, RejectSlot(kCompany, MessageId::CompanyNotChosen)};
    const auto status = fs.Stat(path);
    if (!status) return {{}, RejectSlot(kCompany, MessageId::CompanyFileMissing)};
    if (status->isDirectory || status->isSpecial) {
        return {{}, RejectSlot(kCompany, MessageId::InputNotPlain, {label, path})};
    }
    std::optional<CompanyFields> company;
    {
        const std::unique_ptr<platform::InputFile> file = fs.OpenRead(path);
        if (!file) return {{}, RejectSlot(kCompany, MessageId::InputNotOpened, {label, path})};
        platform::LineReader reader(*file);
        std::string_view raw;
        // Only the first header line counts: the company block must lead the file.
        while (reader.Next(raw)) {
            const std::string_view line = platform::TrimTrailingBlanks(raw);
            if (!IsHeaderLine(line)) continue;
            if (HeaderTableCode(line) == kCompanyTable) company = ReadCompanyLine(reader, path);
            break;
        }
    }
    if (!company) return {{}, RejectSlot(kCompany, MessageId::InputWrongKind, {label})};
    return {company->code + company->name + ".XML", {}, company->code, company->name};
}

}  // namespace

OutputNameProposal ProposeOutputFileName(const std::string& companyPath, platform::FileSystem& fs) {
    try {
        return ProposeOrThrow(companyPath, fs);
    } catch (const std::exception& failure) {
        OutputNameProposal proposal;
        proposal.failure.failure = CommandOutcome::Failed;
        proposal.failure.message = FailureMessage(failure);
        return proposal;
    }
}

}  // namespace kw39
