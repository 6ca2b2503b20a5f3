#include "cli/run_progress.h"

#include <cstdio>

#include "platform/messages.h"

namespace kw39::cli {

using platform::Glossed;
using platform::MessageId;
using platform::TextOf;

namespace {

std::string Megabytes(std::uint64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", static_cast<double>(bytes) / (1024.0 * 1024.0));
    return text;
}

}  // namespace

RunProgress::RunProgress(ProgressLine& line, std::uint64_t inputBytes)
    : m_line(line), m_nInputBytes(inputBytes) {}

std::string RunProgress::Text() const {
    switch (m_phase) {
        case Phase::Checking:
            return Glossed(MessageId::ProgressChecking) + " " + Megabytes(m_nRead) + " / " +
                   Megabytes(m_nInputBytes) + " MB";
        case Phase::Loading:
            return Glossed(MessageId::ProgressReading) + " " + Megabytes(m_nRead) + " / " +
                   Megabytes(m_nInputBytes) + " MB";
        case Phase::Converting: {
            std::string text = Glossed(MessageId::ProgressConverting) + " " +
                               TextOf(MessageId::EmployeesOf,
                                      {std::to_string(m_nConverted), std::to_string(m_nEmployees)});
            if (m_nWritten > 0) {
                text += ", " + Glossed(MessageId::ProgressWriting) + " " + Megabytes(m_nWritten) +
                        " MB";
            }
            return text;
        }
        case Phase::Writing:
            return Glossed(MessageId::ProgressWriting) + " " + Megabytes(m_nWritten) + " MB, " +
                   TextOf(MessageId::EmployeeCount, {std::to_string(m_nConverted)});
    }
    return {};
}

void RunProgress::Confirmed() {
    const std::lock_guard lock(m_mutex);
    // The checks have read every file once; loading reads them again.
    m_phase = Phase::Loading;
    m_nRead = 0;
    Show();
}

void RunProgress::BytesRead(std::size_t count) {
    const std::lock_guard lock(m_mutex);
    m_nRead += count;
    if (m_phase == Phase::Checking || m_phase == Phase::Loading) Show();
}

void RunProgress::BytesWritten(std::size_t count) {
    // The document may be written while the employees are converted; the
    // count of employees stays in view until the last one is done.
    const std::lock_guard lock(m_mutex);
    if (m_phase != Phase::Converting || m_nConverted >= m_nEmployees) m_phase = Phase::Writing;
    m_nWritten += count;
    Show();
}

void RunProgress::ConversionStarted(std::string_view, std::size_t employees) {
    const std::lock_guard lock(m_mutex);
    m_phase = Phase::Converting;
    m_nEmployees = employees;
    Show();
}

void RunProgress::EmployeeConverted(const std::string&, std::string_view) {
    const std::lock_guard lock(m_mutex);
    ++m_nConverted;
    Show();
}

std::uint64_t ChosenInputBytes(const RunRequest& request, platform::FileSystem& fs) {
    std::uint64_t total = 0;
    for (const std::string& path : request.inputPaths) {
        if (path.empty()) continue;
        if (const auto status = fs.Stat(path); status && !status->isDirectory)
            total += status->size;
    }
    return total;
}

ProgressOfRun::ProgressOfRun(ProgressLine& line, const RunRequest& request,
                             platform::FileSystem& fs)
    : m_progress(line, ChosenInputBytes(request, fs)), m_fs(fs, m_progress) {}

bool ProgressOfRun::Ask(const Question& question, const AnswerFunction& answer) {
    m_progress.BeforeQuestion();
    const bool yes = answer(question);
    if (yes && question.message.style == MessageStyle::Confirm) m_progress.Confirmed();
    return yes;
}

RunResult ExecuteRequest(const RunRequest& request, const AnswerFunction& answer,
                         platform::FileSystem& fs, ProgressLine* line) {
    if (!line || ChosenInputBytes(request, fs) < kProgressMinimumBytes) {
        return ExecuteRun(request, answer, fs);
    }
    RunResult result;
    {
        ProgressOfRun progress(*line, request, fs);
        result = ExecuteRun(
            request, [&](const Question& question) { return progress.Ask(question, answer); },
            progress.Fs(), progress.Observer());
    }
    line->Clear();
    return result;
}

}  // namespace kw39::cli
