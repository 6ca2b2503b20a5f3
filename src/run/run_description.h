// How a run is named to the clerk: the filing year with its era, the mode and
// the company of the export. The summary before the confirmation and the
// outcome line of the report say the same words.
#pragma once

#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "run/conversion_report.h"
#include "run/run_request.h"

namespace kw39 {

// "8 (令和8年)": the year as given and the Reiwa year it names. A filing year
// chosen today is a year of the era in use; a text that is no acceptable year
// is shown as given.
std::string YearWithEra(const std::string& yearText);

// "標準モード" or "簡易モード", as the dialog's radio buttons say.
std::string ModeName(LinkMode mode);

// The description of a run for its outcome line. The company code and name
// are read from the company file; they stay empty when it cannot be read.
RunDescription DescribeRun(const RunRequest& request,
                           platform::FileSystem& fs = platform::RealFileSystem());

}  // namespace kw39
