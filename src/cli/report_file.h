// The conversion report as a file: UTF-8 CSV with a byte-order mark, so that
// a spreadsheet program reads its Japanese texts right.
#pragma once

#include <string>

#include "platform/file_system.h"
#include "run/conversion_report.h"

namespace kw39::cli {

// The bytes of the report file for a report.
std::string ReportFileBytes(const ConversionReport& report);

// Writes the report to `path` (CP932), replacing an existing file only once the
// new one is complete. Throws platform::IoError naming the path.
void WriteReportFile(const std::string& path, const ConversionReport& report,
                     platform::FileSystem& fs);

}  // namespace kw39::cli
