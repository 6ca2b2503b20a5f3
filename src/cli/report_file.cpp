#include "cli/report_file.h"

#include <memory>

#include "platform/encoding.h"
#include "platform/io_error.h"

namespace kw39::cli {

std::string ReportFileBytes(const ConversionReport& report) {
    // Data that is no valid CP932 shows as "?": the report describes the
    // document, it does not carry its data.
    return "\xEF\xBB\xBF" + report.Csv(&platform::Cp932ToUtf8Lossy);
}

void WriteReportFile(const std::string& path, const ConversionReport& report,
                     platform::FileSystem& fs) {
    const std::string bytes = ReportFileBytes(report);
    const std::string tempPath = platform::TemporaryPathBeside(path);
    std::unique_ptr<platform::OutputFile> file;
    try {
        file = fs.Create(tempPath);
        file->Write(bytes.data(), bytes.size());
        file->Close();
        file.reset();
        fs.Replace(tempPath, path);
    } catch (const platform::IoError&) {
        file.reset();
        fs.Remove(tempPath);
        throw platform::WriteError(path);
    }
}

}  // namespace kw39::cli
