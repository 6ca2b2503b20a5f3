// The progress of one conversion, shown on a ProgressLine: the input read
// while it is checked and loaded (MB of MB), the employees converted, the
// document written. It learns the bytes from a CountingFileSystem, the
// employees from the engine as its observer, and the phase from the run's
// questions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

#include "cli/counting_file_system.h"
#include "cli/progress_line.h"
#include "convert/conversion_observer.h"
#include "platform/file_system.h"
#include "run/execute_command.h"
#include "run/launch_context.h"
#include "run/run_request.h"

namespace kw39::cli {

class RunProgress : public ConversionObserver, public ByteListener {
  public:
    // `inputBytes` is the size of all input files together.
    RunProgress(ProgressLine& line, std::uint64_t inputBytes);

    // The line steps aside for a question; the confirmation begins the run
    // proper.
    void BeforeQuestion() {
        const std::lock_guard lock(m_mutex);
        m_line.Clear();
    }
    void Confirmed();

    void BytesRead(std::size_t count) override;
    // Called by the thread that writes the document, while the caller's
    // thread converts: every change of the line is made under one lock.
    void BytesWritten(std::size_t count) override;

    // Counts the employees.
    void ConversionStarted(std::string_view companyName, std::size_t employees) override;
    void EmployeeConverted(const std::string& code, std::string_view name) override;

    // The text of the line now, as Update gives it to the ProgressLine.
    std::string Text() const;

  private:
    enum class Phase { Checking, Loading, Converting, Writing };

    void Show() {
        if (m_line.Due()) m_line.Update(Text());
    }

    std::mutex m_mutex;  // the state below and the line, for both threads
    ProgressLine& m_line;
    Phase m_phase = Phase::Checking;
    std::uint64_t m_nInputBytes;
    std::uint64_t m_nRead = 0;  // bytes read in this phase
    std::uint64_t m_nWritten = 0;
    std::size_t m_nEmployees = 0;  // to convert
    std::size_t m_nConverted = 0;
};

// The size of the chosen input files together (files that cannot be reached
// count nothing).
std::uint64_t ChosenInputBytes(const RunRequest& request, platform::FileSystem& fs);

// A run that reads less is over before its progress would tell anything: it
// shows none, also on a slow disk.
inline constexpr std::uint64_t kProgressMinimumBytes = 4 * 1024 * 1024;

// What one run needs to show its progress: the run reads and writes through
// Fs() and reports to Observer().
class ProgressOfRun {
  public:
    ProgressOfRun(ProgressLine& line, const RunRequest& request, platform::FileSystem& fs);
    ProgressOfRun(const ProgressOfRun&) = delete;
    ProgressOfRun& operator=(const ProgressOfRun&) = delete;

    platform::FileSystem& Fs() { return m_fs; }
    ConversionObserver* Observer() { return &m_progress; }
    // A question of the run, asked by `answer` with the line out of its way.
    bool Ask(const Question& question, const AnswerFunction& answer);

  private:
    RunProgress m_progress;
    CountingFileSystem m_fs;
};

// One run as the command line runs it, its questions answered by
// `answer`: with the progress on `line` when one is given and the input
// reaches kProgressMinimumBytes (the line is cleared afterwards). The caller
// shows the messages and the findings of the result.
RunResult ExecuteRequest(const RunRequest& request, const AnswerFunction& answer,
                         platform::FileSystem& fs, ProgressLine* line);

}  // namespace kw39::cli
