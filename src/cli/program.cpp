#include "cli/program.h"

#include "cli/batch_run.h"
#include "cli/cli_run.h"
#include "cli/console.h"
#include "cli/help_text.h"
#include "cli/options.h"
#include "platform/messages.h"
#include "platform/pinned_file_system.h"
#include "platform/version.h"
#include "run/report_guard.h"

namespace kw39::cli {

using platform::Glossed;
using platform::MessageId;
using platform::TextOf;

int RunProgram(const std::vector<std::string>& args, platform::FileSystem& fs) {
    if (args.empty() || (args.size() == 1 && args[0] == "--")) {
        // Started by hand without a word (or with only the end of the
        // options): say how to use it, and do nothing.
        WriteStderr(UsageText() + "\n" + Glossed(MessageId::SeeHelpForMore) + "\n");
        return kExitUsage;
    }
    const ParsedOptions parsed = ParseOptions(args);
    if (!parsed.error.empty()) {
        WriteStderr(parsed.error + "\n" + Glossed(MessageId::SeeHelpForUsage) + "\n");
        return kExitUsage;
    }
    const CliOptions& options = parsed.options;
    if (options.help) return WriteStdout(HelpText()) ? kExitWritten : kExitFailed;
    if (options.version) return WriteStdout(VersionText()) ? kExitWritten : kExitFailed;
    // A report that cannot be written is better known before a long run;
    // then no report is written at all. Where it was checked it is written.
    platform::PinnedFiles report;
    if (options.report &&
        !ReportAccepted(TerminalFor(options), CheckReportPlace(*options.report, fs, report))) {
        return kExitCheckFailed;
    }
    platform::PinnedFileSystem checkedFs(fs, report);
    if (options.batch) return RunBatch(options, checkedFs);
    return Convert(options, checkedFs);
}

}  // namespace kw39::cli
