#include "cli/report_guard.h"

#include "cli/cli_run.h"
#include "run/input_slots.h"
#include "run/output_location.h"

namespace kw39::cli {

bool ReportPathUsable(Terminal& terminal, const CliOptions& options, platform::FileSystem& fs) {
    if (!options.report) return true;
    const std::string& path = *options.report;
    if (const auto problem = OutputLocationProblem(fs, path, "報告ファイル")) {
        terminal.Show(*problem, MessageStyle::Warning);
        NameOptionToCorrect("--report");
        return false;
    }
    if (!fs.Stat(path) || fs.ProbeExclusiveWrite(path)) return true;
    terminal.Show("ファイルの保存に失敗しました。\n\n" + path, MessageStyle::Error);
    NameOptionToCorrect("--report");
    return false;
}

bool ReportApartFrom(Terminal& terminal, const CliOptions& options,
                     const std::vector<RunFile>& files, platform::FileSystem& fs) {
    if (!options.report) return true;
    const auto collision = ReportCollision(*options.report, files, fs);
    if (!collision) return true;
    terminal.Show(*collision, MessageStyle::Warning);
    NameOptionToCorrect("--report");
    return false;
}

}  // namespace kw39::cli
