#include "run/execute_command.h"

#include <climits>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "convert/engine.h"
#include "convert/text_rules.h"
#include "pca/data_line_error.h"
#include "pca/export_files.h"
#include "platform/io_error.h"
#include "platform/sjis.h"
#include "run/findings_collector.h"
#include "run/input_slots.h"
#include "run/payment_year.h"
#include "run/validate_input.h"

namespace kw39 {

bool IsAcceptableYear(std::string_view text) {
    const std::int64_t year = ToInteger64(text);
    return year >= 1 && year <= 98 && platform::IsPrintableCp932(text);
}

Message FailureMessage(const std::exception& failure) {
    // These carry their messages, naming the file and the line.
    if (const auto* line = dynamic_cast<const DataLineError*>(&failure)) return line->ToMessage();
    if (const auto* io = dynamic_cast<const platform::IoError*>(&failure)) return io->ToMessage();
    const MessageId id = dynamic_cast<const std::bad_alloc*>(&failure) ? MessageId::OutOfMemory
                                                                       : MessageId::RunFailed;
    return platform::MakeMessage(id, MessageStyle::Error, {failure.what()});
}

std::vector<std::string> RunRequest::ChosenInputs() const {
    std::vector<std::string> paths;
    for (const std::string& path : inputPaths) {
        if (!path.empty()) paths.push_back(path);
    }
    return paths;
}

namespace {

// The result of a run that a check refused.
RunResult Refused(const CheckResult& check) {
    RunResult result;
    result.outcome = *check.failure;
    if (check.message) {
        result.messages.push_back(*check.message);
        result.whyNot = check.message->text;
    }
    result.field = check.field;
    result.slot = check.slot;
    result.focus = check.focus;
    return result;
}

CheckResult CheckRequest(const RunRequest& request, platform::FileSystem& fs) {
    CheckResult result;
    if (!IsAcceptableYear(request.yearText)) {
        result.failure = CommandOutcome::YearRejected;
        result.field = RunField::Year;
        result.message = platform::MakeMessage(MessageId::YearRejected, MessageStyle::Warning);
        return result;
    }
    try {
        return CheckInputSet(request, fs);
    } catch (const std::exception& failure) {
        result.failure = CommandOutcome::Failed;
        result.message = FailureMessage(failure);
        return result;
    }
}

}  // namespace

RunStart StartRun(const RunRequest& request, platform::FileSystem& fs) {
    RunStart start;
    const CheckResult check = CheckRequest(request, fs);
    if (!check.Passed()) {
        start.refused = Refused(check);
        return start;
    }
    start.paymentYear = check.paymentYear;
    start.pinned = check.pinned;
    // A year other than that of the payment dates may be meant (a late
    // filing), so the user decides; No leaves the year to correct.
    if (auto question = YearMismatchQuestion(request.yearText, check.paymentYear)) {
        start.questions.push_back({std::move(*question), RunField::Year});
    }
    start.questions.push_back(
        {platform::MakeMessage(MessageId::Confirm, MessageStyle::Confirm), RunField::None});
    return start;
}

Message QuestionStatement(const Question& question) {
    if (question.message.id == MessageId::YearQuestion) {
        return platform::MakeMessage(MessageId::YearMismatch, MessageStyle::Warning,
                                     question.message.args);
    }
    return Message{question.message.text, MessageStyle::Warning, question.message.id,
                   question.message.args};
}

RunResult Declined(const Question& question) {
    RunResult result;
    result.outcome = CommandOutcome::Cancelled;
    result.whyNot = platform::TextOf(MessageId::Cancelled);
    result.field = question.field;
    return result;
}

RunResult ConvertRequest(const RunRequest& request, platform::FileSystem& fs,
                         ConversionObserver* observer, const platform::PinnedFiles* pinned) {
    RunResult result;
    platform::MessageLog log;
    const platform::PinnedFiles none;
    platform::PinnedFileSystem checkedFs(fs, pinned ? *pinned : none);
    FindingsCollector findings(observer);
    // Whatever became of the run, what it found so far is part of its result.
    const auto keepFindings = [&result, &findings] {
        result.companyName = findings.CompanyName();
        result.findings = findings.TakeFindings();
    };
    try {
        // One engine for one run, destroyed on every way out of this block.
        CExchangeFromPCAToKw39 engine(log, checkedFs);
        engine.SetObserver(&findings);
        // The checks read each file through the handle the load reads.
        if (request.exports) {
            for (const std::string& path : request.ChosenInputs()) {
                if (const ExportFiles::Export* input = request.exports->Find(path)) {
                    engine.Reader().SetSectionMarks(path, input->scan.sections);
                }
            }
        }
        const RunOutcome outcome =
            request.writeDocument
                ? engine.RunConversion(request.ChosenInputs(), request.outputPath, request.mode,
                                       request.launch.launchCode, request.yearText)
                : engine.RunCheck(request.ChosenInputs(), request.mode, request.launch.launchCode,
                                  request.yearText);
        result.messages = std::move(log.messages);
        keepFindings();
        if (outcome == RunOutcome::NoEmployees) {
            result.outcome = CommandOutcome::NothingWritten;
            result.whyNot = platform::TextOf(MessageId::NothingLoaded);
            return result;
        }
        result.employees = engine.Reader().GetEmployeeCodes().size();
        if (outcome == RunOutcome::Checked) {
            result.outcome = CommandOutcome::Checked;
            result.messages.push_back(platform::MakeMessage(MessageId::Checked, MessageStyle::Info,
                                                            {std::to_string(result.employees)}));
            result.whyNot = result.messages.back().text;
            return result;
        }
        result.outcome = CommandOutcome::Written;
        result.documentPath = request.outputPath;
        if (request.launch.launchCode == kLaunchStandalone) {
            result.messages.push_back(platform::MakeMessage(MessageId::Done, MessageStyle::Info));
        }
    } catch (const std::exception& failure) {
        // What the run noted before it failed comes first, as it arose.
        result.messages = std::move(log.messages);
        keepFindings();
        result.messages.push_back(FailureMessage(failure));
        result.whyNot = result.messages.back().text;
        result.outcome = CommandOutcome::Failed;
    }
    return result;
}

RunResult ExecuteRun(const RunRequest& request, const AnswerFunction& answer,
                     platform::FileSystem& fs, ConversionObserver* observer) {
    const RunStart start = StartRun(request, fs);
    if (start.refused) return *start.refused;
    for (const Question& question : start.questions) {
        if (!answer(question)) return Declined(question);
    }
    return ConvertRequest(request, fs, observer, start.pinned.get());
}

}  // namespace kw39
