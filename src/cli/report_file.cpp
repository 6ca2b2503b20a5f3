#include "cli/report_file.h"

#include "platform/encoding.h"
#include "platform/replacement_file.h"

namespace kw39::cli {

std::string ReportFileBytes(const ConversionReport& report) {
    // Data that is no valid CP932 shows as "?": the report describes the
    // document, it does not carry its data.
    return "\xEF\xBB\xBF" + report.Csv(&platform::Cp932ToUtf8Lossy);
}

void WriteReportFile(const std::string& path, const ConversionReport& report,
                     platform::FileSystem& fs) {
    platform::ReplaceFileContent(fs, path, ReportFileBytes(report));
}

}  // namespace kw39::cli
