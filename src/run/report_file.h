// The conversion report as a file: UTF-8 CSV with a byte-order mark, so that
// a spreadsheet program reads its Japanese texts right. The command line and
// the desktop program write the same bytes.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "run/conversion_report.h"
#include "run/run_request.h"

namespace kw39 {

// The bytes of the report file for a report.
std::string ReportFileBytes(const ConversionReport& report);

// Writes the report to `path`, replacing an existing file only once the new
// one is complete; the Error message naming the path when it fails.
std::optional<platform::Message> WriteReportFile(const std::string& path,
                                                 const ConversionReport& report,
                                                 platform::FileSystem& fs);

// A file the run reads or writes, with the words that name it in a message.
struct RunFile {
    std::string label;  // "社員情報", "出力先データ", ...
    std::string path;
};

// The files one run reads and writes.
std::vector<RunFile> FilesOfRun(const RunRequest& request);

// The message that says the report at `path` would take the place of
// one of `files`, as the file system decides it (any spelling, links
// followed); nothing when it is apart from all of them. Writing it there would
// destroy a file of the run.
std::optional<platform::Message> ReportCollision(const std::string& path,
                                                 const std::vector<RunFile>& files,
                                                 platform::FileSystem& fs);

// "<company code><company name>_報告.csv" from the document name that the
// output name proposal gives, "<company code><company name>.XML".
std::string ReportFileName(const std::string& documentName);

}  // namespace kw39
