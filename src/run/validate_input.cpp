#include "run/validate_input.h"

#include <cstddef>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pca/export_files.h"
#include "platform/messages.h"
#include "platform/sjis.h"
#include "run/execute_command.h"
#include "run/input_slots.h"
#include "run/output_location.h"
#include "run/payment_year.h"

namespace kw39 {

namespace {

using platform::MessageId;

struct CompanyKey {
    std::string key;  // company code, "@", company name
    std::size_t slot;
};

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

// Refusals of the file of a slot, which they name as it is shown.
CheckResult RejectFile(std::size_t slot, MessageId id, const std::string& path) {
    return RejectSlot(slot, id, {InputSlots[slot].pszLabel, platform::ShownPath(path)});
}

// The message for a file that is not Shift_JIS text: what it is, and what to do.
CheckResult RejectEncoding(std::size_t slot, const std::string& path, const TextVerdict& verdict) {
    return RejectSlot(
        slot, MessageId::InputEncoding,
        {InputSlots[slot].pszLabel, platform::ShownPath(path), DescribeTextProblem(verdict)});
}

// Step 1: every chosen file exists, can be read and is of its slot's kind.
// Each file stays open, in `pins`, for the run to read.
CheckResult CheckInputFiles(const RunRequest& request, platform::FileSystem& fs,
                            ExportFiles& exports, std::vector<CompanyKey>& keys,
                            platform::PinnedFiles& pins) {
    for (std::size_t s = 0; s < InputSlots.size(); ++s) {
        const InputSlot& slot = InputSlots[s];
        const std::string& path = request.inputPaths[s];
        if (path.empty()) continue;
        // Paths as long as the classic Windows limit count as unreachable.
        const auto status = platform::ClassicPathBytes(path) < platform::kMaxPathBytes
                                ? fs.Stat(path)
                                : std::nullopt;
        if (!status) return RejectSlot(s, MessageId::InputMissing, {platform::ShownPath(path)});
        // A folder has nothing to read, and a pipe or a device may never end.
        if (status->isDirectory || status->isSpecial) {
            return RejectFile(s, MessageId::InputNotPlain, path);
        }
        const ExportFiles::Export& input = exports.Read(path, fs);
        // No permission, or held locked.
        if (!input.file) return RejectFile(s, MessageId::InputNotOpened, path);
        const ExportScan& scan = input.scan;
        if (scan.readFailure) std::rethrow_exception(scan.readFailure);
        // A file that is no Shift_JIS text is refused as such also when its
        // tables were not found (a UTF-16 file shows no "[10000]" at all): the
        // encoding is then the cause the clerk can correct. A company line
        // without its two fields is no surprise in a file that is no text at
        // all either.
        if (scan.encoding.problem != TextProblem::None) {
            return RejectEncoding(s, path, scan.encoding);
        }
        if (scan.malformedCompany) std::rethrow_exception(scan.malformedCompany);
        for (const CompanyLine& company : scan.companies) {
            keys.push_back({company.code + "@" + company.name, s});
        }
        if (!scan.tables.contains(slot.pszTableCode) || scan.companies.empty()) {
            return RejectSlot(s, MessageId::InputWrongKind, {slot.pszLabel});
        }
        pins.PinInput(path, input.file, input.stamp);
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

// The identity of an input: that of the handle it was checked through, or
// else what its name names now.
std::optional<platform::FileIdentity> InputIdentity(const std::string& path,
                                                    platform::FileSystem& fs,
                                                    const platform::PinnedFiles& pins) {
    if (const platform::InputFile* file = pins.Input(path)) {
        if (auto identity = file->Identity()) return identity;
    }
    return fs.Identity(path);
}

CheckResult SameAsInput(const std::string& label, const std::string& path) {
    return Reject(platform::MakeMessage(MessageId::OutputIsInput, MessageStyle::Warning,
                                        {label, platform::ShownPath(path)}),
                  RunField::Output);
}

// Writing the document over an export of the run, or of another company of a
// batch, would destroy it however the paths are spelled. Each one is also
// protected at the moment the document is put in place.
CheckResult CheckApartFromInputs(const RunRequest& request, platform::FileSystem& fs,
                                 const platform::PinnedFiles& pins,
                                 platform::WriteDestination& destination) {
    const std::string& path = request.outputPath;
    const auto existing = destination.Existing();
    for (std::size_t s = 0; s < InputSlots.size(); ++s) {
        const std::string& input = request.inputPaths[s];
        if (input.empty()) continue;
        const auto identity = InputIdentity(input, fs, pins);
        if (input == path || (identity && identity == existing)) {
            return SameAsInput(InputSlots[s].pszLabel, path);
        }
        if (identity) destination.Protect(*identity);
    }
    if (!request.otherInputs) return {};
    for (const RunRequest::OtherFile& other : *request.otherInputs) {
        const auto identity = other.identity ? other.identity : fs.Identity(other.path);
        if (identity && identity == existing) return SameAsInput(other.label, path);
        if (identity) destination.Protect(*identity);
    }
    return {};
}

// Step 4: an output path is given and, if something is there, it may be replaced.
CheckResult CheckOutputPath(const RunRequest& request, platform::FileSystem& fs,
                            platform::PinnedFiles& pins) {
    const std::string& path = request.outputPath;
    if (path.empty()) {
        return Reject(platform::MakeMessage(MessageId::OutputNotChosen, MessageStyle::Warning),
                      RunField::Output);
    }
    OutputLocation location = CheckOutputLocation(fs, path, kOutputLabel);
    if (location.kind == platform::DestinationProblem::NoName) {
        // An existing folder cannot be saved over, as a file held by another
        // program cannot: the same message, then why. A name that merely ends
        // in a separator is a name to correct.
        if (const auto folder = fs.Stat(path); folder && folder->isDirectory) {
            return SaveFailed(MessageId::SaveFailedOverFolder,
                              {kOutputLabel, platform::ShownPath(path)});
        }
    }
    if (location.problem) return Reject(std::move(*location.problem), RunField::Output);
    platform::WriteDestination& destination = *location.destination;
    if (CheckResult apart = CheckApartFromInputs(request, fs, pins, destination); !apart.Passed()) {
        return apart;
    }
    // The file is there and held by another program.
    if (fs.Stat(destination.Path()) && !fs.ProbeExclusiveWrite(destination.Path())) {
        return SaveFailed(MessageId::SaveFailed);
    }
    pins.PinDestination(path, std::move(location.destination));
    return {};
}

}  // namespace

CheckResult CheckInputSet(const RunRequest& request, platform::FileSystem& fs) {
    std::vector<CompanyKey> keys;
    ExportFiles own;
    ExportFiles& exports = request.exports ? *request.exports : own;
    auto pins = std::make_shared<platform::PinnedFiles>();
    CheckResult result = CheckInputFiles(request, fs, exports, keys, *pins);
    if (result.Passed()) result = CheckSameCompany(keys);
    if (result.Passed()) result = CheckMandatorySlots(request);
    if (result.Passed()) result = CheckOutputPath(request, fs, *pins);
    if (result.Passed()) {
        const std::string& monthly = request.inputPaths[kMonthlySlot];
        if (!monthly.empty()) {
            result.paymentYear = PaymentYearOf(exports.Read(monthly, fs).scan.paymentDates);
        }
        result.pinned = std::move(pins);
    }
    return result;
}

namespace {

OutputNameProposal ProposeOrThrow(const std::string& path, platform::FileSystem& fs,
                                  ExportFiles& exports) {
    constexpr std::size_t kCompany = 0;
    if (path.empty()) return {{}, RejectSlot(kCompany, MessageId::CompanyNotChosen)};
    const auto status = fs.Stat(path);
    if (!status) return {{}, RejectSlot(kCompany, MessageId::CompanyFileMissing)};
    if (status->isDirectory || status->isSpecial) {
        return {{}, RejectFile(kCompany, MessageId::InputNotPlain, path)};
    }
    const ExportFiles::Export& input = exports.Read(path, fs);
    if (!input.file) return {{}, RejectFile(kCompany, MessageId::InputNotOpened, path)};
    const ExportScan& scan = input.scan;
    // Only the first header line counts: the company block must lead the file.
    if (!scan.headerRead && scan.readFailure) std::rethrow_exception(scan.readFailure);
    if (!scan.firstHeaderIsCompany) {
        return {{},
                RejectSlot(kCompany, MessageId::InputWrongKind, {InputSlots[kCompany].pszLabel})};
    }
    if (scan.companies.empty()) {
        std::rethrow_exception(scan.malformedCompany ? scan.malformedCompany : scan.readFailure);
    }
    const CompanyLine& company = scan.companies.front();
    return {company.code + company.name + ".XML", {}, company.code, company.name};
}

}  // namespace

OutputNameProposal ProposeOutputFileName(const std::string& companyPath, platform::FileSystem& fs,
                                         ExportFiles* exports) {
    try {
        ExportFiles own;
        return ProposeOrThrow(companyPath, fs, exports ? *exports : own);
    } catch (const std::exception& failure) {
        OutputNameProposal proposal;
        proposal.failure.failure = CommandOutcome::Failed;
        proposal.failure.message = FailureMessage(failure);
        return proposal;
    }
}

}  // namespace kw39
