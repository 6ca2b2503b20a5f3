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
    for (const RunFile& file : files) {
        if (file.path.empty() || !fs.SameDestination(*options.report, file.path)) continue;
        terminal.Show("報告ファイルに、" + file.label +
                          "と同じファイルが指定されています。別のファイル名を指定してください。"
                          "\n\n報告ファイル: " +
                          *options.report + "\n" + file.label + ": " + file.path,
                      MessageStyle::Warning);
        NameOptionToCorrect("--report");
        return false;
    }
    return true;
}

std::vector<RunFile> FilesOfRun(const RunRequest& request) {
    std::vector<RunFile> files;
    for (std::size_t s = 0; s < kSlotCount; ++s) {
        files.push_back({InputSlots[s].pszLabel, request.inputPaths[s]});
    }
    files.push_back({"出力先データ", request.outputPath});
    return files;
}

}  // namespace kw39::cli
