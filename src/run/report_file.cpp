#include "run/report_file.h"

#include <string_view>

#include "platform/encoding.h"
#include "platform/replacement_file.h"

namespace kw39 {

std::string ReportFileBytes(const ConversionReport& report) {
    // Data that is no valid CP932 shows as "?": the report describes the
    // document, it does not carry its data.
    return "\xEF\xBB\xBF" + report.Csv(&platform::Cp932ToUtf8Lossy);
}

void WriteReportFile(const std::string& path, const ConversionReport& report,
                     platform::FileSystem& fs) {
    platform::ReplaceFileContent(fs, path, ReportFileBytes(report));
}

std::vector<RunFile> FilesOfRun(const RunRequest& request) {
    std::vector<RunFile> files;
    for (std::size_t s = 0; s < kSlotCount; ++s) {
        files.push_back({InputSlots[s].pszLabel, request.inputPaths[s]});
    }
    files.push_back({"出力先データ", request.outputPath});
    return files;
}

std::optional<std::string> ReportCollision(const std::string& path,
                                           const std::vector<RunFile>& files,
                                           platform::FileSystem& fs) {
    for (const RunFile& file : files) {
        if (file.path.empty() || !fs.SameDestination(path, file.path)) continue;
        return "報告ファイルに、" + file.label +
               "と同じファイルが指定されています。別のファイル名を指定してください。"
               "\n\n報告ファイル: " +
               platform::ShownPath(path) + "\n" + file.label + ": " +
               platform::ShownPath(file.path);
    }
    return std::nullopt;
}

std::string ReportFileName(const std::string& documentName) {
    constexpr std::string_view kDocumentExtension = ".XML";
    std::string stem = documentName;
    if (std::string_view(stem).ends_with(kDocumentExtension))
        stem.resize(stem.size() - kDocumentExtension.size());
    return stem + "_報告.csv";
}

}  // namespace kw39
