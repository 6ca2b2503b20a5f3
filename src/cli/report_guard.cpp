#include "cli/report_guard.h"

#include "run/input_slots.h"
#include "run/output_location.h"

namespace kw39::cli {

bool ReportPathUsable(const Terminal& terminal, const CliOptions& options, platform::FileSystem& fs,
                      platform::PinnedFiles& pins) {
    if (!options.report) return true;
    const std::string& path = *options.report;
    OutputLocation location = CheckOutputLocation(fs, path, kReportLabel);
    if (location.problem) {
        terminal.Show(*location.problem);
        terminal.NameOptionToCorrect("--report");
        return false;
    }
    pins.PinDestination(path, std::move(location.destination));
    return true;
}

bool ReportApartFrom(const Terminal& terminal, const CliOptions& options,
                     const std::vector<RunFile>& files, platform::FileSystem& fs) {
    if (!options.report) return true;
    const std::string& path = *options.report;
    if (const auto collision = ReportCollision(path, files, fs)) {
        terminal.Show(*collision);
        terminal.NameOptionToCorrect("--report");
        return false;
    }
    const platform::DestinationResult opened = fs.OpenDestination(path);
    if (!opened.destination) return true;  // refused when it is written
    for (const RunFile& file : files) {
        if (file.path.empty()) continue;
        if (const auto identity = fs.Identity(file.path)) opened.destination->Protect(*identity);
    }
    // Opened for writing only now that it is known to be none of the inputs.
    const std::string& written = opened.destination->Path();
    if (!fs.Stat(written) || fs.ProbeExclusiveWrite(written)) {
        return true;
    }
    terminal.Show(platform::MakeMessage(platform::MessageId::SaveFailedAt, MessageStyle::Error,
                                        {platform::ShownPath(path)}));
    terminal.NameOptionToCorrect("--report");
    return false;
}

}  // namespace kw39::cli
