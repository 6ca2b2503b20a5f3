// What a run will do, said before it is confirmed: a clerk who chose the wrong
// year, mode or file sees it while the answer is still No.
#pragma once

#include <string>
#include <vector>

#include "cli/options.h"
#include "run/run_request.h"

namespace kw39::cli {

// The year with its era and the mode, then each chosen file by its slot and
// the output path; a check says that no document will be written. Lines of
// CP932 text, each ending in a line feed.
// `written` is the file the output finally names when it is a link ("" when
// it is none): the summary names it too.
std::string RunSummary(const RunRequest& request, const CliOptions& options,
                       const std::string& written = "");

// A company of a batch and the filing year it will get.
struct CompanyYear {
    std::string folder;
    std::string yearText;
};

// The year and mode of a batch, and whether it only checks. The year is the
// --year shared by every company; without it, the year of each company's data,
// one line per company in `years`.
std::string BatchSummary(const std::string& yearText, const CliOptions& options,
                         const std::vector<CompanyYear>& years);

}  // namespace kw39::cli
