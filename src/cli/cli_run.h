// One conversion on the command line: turns the options into a request, runs
// it, answering its questions on the terminal, and turns its result into the
// exit status; and what a batch shares with it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/options.h"
#include "cli/progress_line.h"
#include "cli/terminal.h"
#include "platform/file_system.h"
#include "run/conversion_report.h"
#include "run/execute_command.h"
#include "run/folder_selection.h"
#include "run/launch_context.h"

namespace kw39::cli {

enum ExitStatus : int {
    kExitWritten = 0,         // the document was written
    kExitCheckFailed = 1,     // the year or an input check failed
    kExitFailed = 2,          // a raised failure (bad data line, read or write error)
    kExitCancelled = 3,       // Cancel at the confirmation
    kExitNothingWritten = 4,  // no employee was loaded
    kExitUsage = 64,          // wrong command line
};

// One run for the options (no --batch); the exit status.
int Convert(const CliOptions& options, platform::FileSystem& fs);

// The exit status of one run.
int StatusOf(CommandOutcome outcome);

// The worse of two exit statuses, worst first: 2 (failed), 1 (check failed),
// 4 (nothing written), 3 (cancelled), 0 (written).
int WorseStatus(int a, int b);

// The year of a run without --year: the era year of the payment dates of its
// monthly file, today's when it has none; which one is noted on standard error.
std::string YearWithoutOption(const Terminal& terminal, const RunRequest& request,
                              platform::FileSystem& fs);

// The note of a year taken without --year: from the payment dates of
// `paymentYear`, or today's (after the name of `company`, in a batch).
void NoteYear(const Terminal& terminal, const std::string& year, std::optional<int> paymentYear,
              const std::string& company = "");

// The launch of a run the program starts itself (no host).
LaunchContext StandaloneLaunch(std::string defaultYear);

// A progress line on standard error where someone watches it; nothing when
// standard error is redirected, so that redirected output stays plain.
std::optional<ProgressLine> WatchedProgressLine();

// The terminal of a run: its verbosity, the questions answered by --yes or,
// since it writes nothing, by --check.
Terminal TerminalFor(const CliOptions& options);

// True when the report's place passed a check of it (`refusal` is nothing);
// false after the message of the refusal, naming --report to correct.
bool ReportAccepted(const Terminal& terminal, const std::optional<Message>& refusal);

// Writes the report if one was asked for; the status after it: `status`, or
// kExitFailed (with an Error message) when the report could not be written.
int FinishReport(const Terminal& terminal, const CliOptions& options,
                 const ConversionReport& report, int status, platform::FileSystem& fs);

// The count of findings, after the completion message.
void ShowFindingCount(const Terminal& terminal, const FindingCounts& counts,
                      const CliOptions& options);

}  // namespace kw39::cli
