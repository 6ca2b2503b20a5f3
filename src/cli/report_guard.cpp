#include "cli/report_guard.h"

#include "cli/cli_run.h"
#include "run/input_slots.h"
#include "run/output_location.h"

namespace kw39::cli {

bool ReportPathUsable(TerminalPort& port, const CliOptions& options, platform::FileSystem& fs) {
    if (!options.report) return true;
    const std::string& path = *options.report;
    if (const auto problem = OutputLocationProblem(fs, path, "報告ファイル")) {
        port.ShowMessage(*problem, MessageStyle::Warning);
        NameOptionToCorrect("--report");
        return false;
    }
    if (!fs.Stat(path) || fs.ProbeExclusiveWrite(path)) return true;
    port.ShowMessage("ファイルの保存に失敗しました。\n\n" + path, MessageStyle::Error);
    NameOptionToCorrect("--report");
    return false;
}

bool ReportApartFrom(TerminalPort& port, const CliOptions& options,
                     const std::vector<RunFile>& files, platform::FileSystem& fs) {
    if (!options.report) return true;
    const auto collision = ReportCollision(*options.report, files, fs);
    if (!collision) return true;
    port.ShowMessage(*collision, MessageStyle::Warning);
    NameOptionToCorrect("--report");
    return false;
}

std::vector<RunFile> FilesOfRun(RunPort& port) {
    std::vector<RunFile> files;
    for (const InputSlot& slot : InputSlots) {
        files.push_back({slot.pszLabel, port.ReadControlText(slot.nEditId)});
    }
    files.push_back({"出力先データ", port.ReadControlText(kIdOutputBox)});
    return files;
}

}  // namespace kw39::cli
