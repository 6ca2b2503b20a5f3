#include "cli/run_summary.h"

#include "platform/file_system.h"
#include "platform/visible_text.h"
#include "run/input_slots.h"
#include "run/run_description.h"

namespace kw39::cli {

namespace {

std::string Line(const std::string& label, const std::string& value) {
    return "    " + label + ": " + platform::VisibleName(value) + "\n";
}

std::string PathLine(const std::string& label, const std::string& path) {
    return Line(label, platform::ShownPath(path));
}

// The lines every run starts with: the summary's title, the year's lines as
// given, the mode.
std::string Head(const std::string& yearLines, const CliOptions& options) {
    const LinkMode mode = options.mode;
    std::string text = "kw39pcaconv: 実行内容 (summary):\n" + yearLines;
    text +=
        Line("モード (mode)", ModeName(mode) + (mode == kModeSimple ? " (simple)" : " (standard)"));
    return text;
}

std::string YearLine(const std::string& yearText) {
    return Line("申告年度 (year)", YearWithEra(yearText));
}

std::string CheckLine(const CliOptions& options) {
    if (!options.check) return {};
    return "    チェックのみ (--check): 出力ファイルは作成しません。 (No document is "
           "written.)\n";
}

}  // namespace

std::string RunSummary(const RunRequest& request, const CliOptions& options,
                       const std::string& written) {
    std::string text = Head(YearLine(request.yearText), options);
    for (std::size_t s = 0; s < kSlotCount; ++s) {
        if (request.inputPaths[s].empty()) continue;
        text += PathLine(
            std::string(InputSlots[s].pszLabel) + " (" + std::string(SlotOptionName(s)) + ")",
            request.inputPaths[s]);
    }
    text += PathLine("出力先 (output)", request.outputPath);
    if (!written.empty() && written != request.outputPath) {
        text += PathLine("リンク先 (link target)", written);
    }
    return text + CheckLine(options);
}

std::string BatchSummary(const std::string& yearText, const CliOptions& options,
                         const std::vector<CompanyYear>& years) {
    if (options.year) return Head(YearLine(yearText), options) + CheckLine(options);
    std::string lines =
        "    申告年度 (year): 会社ごとにデータの年 (each company: the year of its data)\n";
    for (const CompanyYear& company : years) {
        lines += "        " + platform::VisibleName(platform::ShownPath(company.folder)) + ": " +
                 YearWithEra(company.yearText) + "\n";
    }
    return Head(lines, options) + CheckLine(options);
}

}  // namespace kw39::cli
