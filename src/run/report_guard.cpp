#include "run/report_guard.h"

#include "run/input_slots.h"
#include "run/output_location.h"

namespace kw39 {

std::optional<Message> CheckReportPlace(const std::string& path, platform::FileSystem& fs,
                                        platform::PinnedFiles& pins) {
    OutputLocation location = CheckOutputLocation(fs, path, kReportLabel);
    if (location.problem) return location.problem;
    pins.PinDestination(path, std::move(location.destination));
    return std::nullopt;
}

std::optional<Message> CheckReportApart(const std::string& path, const std::vector<RunFile>& files,
                                        platform::FileSystem& fs) {
    if (auto collision = ReportCollision(path, files, fs)) return collision;
    const platform::DestinationResult opened = fs.OpenDestination(path);
    if (!opened.destination) return std::nullopt;  // refused when it is written
    for (const RunFile& file : files) {
        if (file.path.empty()) continue;
        if (const auto identity = fs.Identity(file.path)) opened.destination->Protect(*identity);
    }
    // Opened for writing only now that it is known to be none of the inputs.
    const std::string& written = opened.destination->Path();
    if (!fs.Stat(written) || fs.ProbeExclusiveWrite(written)) return std::nullopt;
    return platform::MakeMessage(MessageId::SaveFailedAt, MessageStyle::Error,
                                 {platform::ShownPath(path)});
}

std::optional<Message> CheckReportApart(const std::string& path, const RunRequest& request,
                                        platform::FileSystem& fs) {
    return CheckReportApart(path, FilesOfRun(request), fs);
}

}  // namespace kw39
