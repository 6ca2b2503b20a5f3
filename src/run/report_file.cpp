#include "run/report_file.h"

#include <string_view>

#include "platform/encoding.h"
#include "platform/replacement_file.h"
#include "run/execute_command.h"
#include "run/output_location.h"

namespace kw39 {

std::string ReportFileBytes(const ConversionReport& report) {
    // Data that is no valid CP932 shows as "?": the report describes the
    // document, it does not carry its data.
    return "\xEF\xBB\xBF" + report.Csv(&platform::Cp932ToUtf8Lossy);
}

std::optional<platform::Message> WriteReportFile(const std::string& path,
                                                 const ConversionReport& report,
                                                 platform::FileSystem& fs) {
    try {
        platform::ReplaceFileContent(fs, path, ReportFileBytes(report));
        return std::nullopt;
    } catch (const std::exception& failure) {
        return FailureMessage(failure);
    }
}

std::vector<RunFile> FilesOfRun(const RunRequest& request) {
    std::vector<RunFile> files;
    for (std::size_t s = 0; s < kSlotCount; ++s) {
        files.push_back({InputSlots[s].pszLabel, request.inputPaths[s]});
    }
    files.push_back({kOutputLabel, request.outputPath});
    return files;
}

std::optional<platform::Message> ReportCollision(const std::string& path,
                                                 const std::vector<RunFile>& files,
                                                 platform::FileSystem& fs) {
    platform::DestinationComparison report(fs, path);
    for (const RunFile& file : files) {
        if (file.path.empty() || !report.SameAs(file.path)) continue;
        return platform::MakeMessage(
            platform::MessageId::ReportCollision, platform::MessageStyle::Warning,
            {file.label, platform::ShownPath(path), platform::ShownPath(file.path)});
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
