#include "cli/report_guard.h"

#include "run/input_slots.h"
#include "run/output_location.h"

namespace kw39::cli {

bool ReportPathUsable(const Terminal& terminal, const CliOptions& options,
                      platform::FileSystem& fs) {
    if (!options.report) return true;
    const std::string& path = *options.report;
    if (const auto problem = OutputLocationProblem(fs, path, kReportLabel)) {
        terminal.Show(*problem);
        terminal.NameOptionToCorrect("--report");
        return false;
    }
    if (!fs.Stat(path) || fs.ProbeExclusiveWrite(path)) return true;
    terminal.Show(
        platform::MakeMessage(platform::MessageId::SaveFailedAt, MessageStyle::Error, {path}));
    terminal.NameOptionToCorrect("--report");
    return false;
}

bool ReportApartFrom(const Terminal& terminal, const CliOptions& options,
                     const std::vector<RunFile>& files, platform::FileSystem& fs) {
    if (!options.report) return true;
    const auto collision = ReportCollision(*options.report, files, fs);
    if (!collision) return true;
    terminal.Show(*collision);
    terminal.NameOptionToCorrect("--report");
    return false;
}

}  // namespace kw39::cli
