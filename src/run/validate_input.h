// Checks of the input set before a run, and the proposal of an output name.
#pragma once

#include <string>

#include "platform/file_system.h"
#include "run/run_request.h"

namespace kw39 {

// The checks of the input set before a run, in their fixed order: every chosen
// file exists, is a plain file, is Shift_JIS text and of its slot's kind; all
// come from one company; the mandatory files are chosen; the output can be
// written. The first failure is the result; when all pass, the result carries
// the year of the monthly file's payment dates. Throws DataLineError when a
// company block has too few fields, platform::IoError when a read fails.
CheckResult CheckInputSet(const RunRequest& request,
                          platform::FileSystem& fs = platform::RealFileSystem());

struct OutputNameProposal {
    std::string name;              // "<company code><company name>.XML"; "" on failure
    CheckResult failure;           // why there is none (about the company slot)
    std::string companyCode = {};  // as the company block gives it
    std::string companyName = {};
};

// Proposes "<company code><company name>.XML" from the company file, as read
// in `exports` (a reading of its own without). Throws
// DataLineError when the company block has too few fields.
OutputNameProposal ProposeOutputFileName(const std::string& companyPath,
                                         platform::FileSystem& fs = platform::RealFileSystem(),
                                         ExportFiles* exports = nullptr);

}  // namespace kw39
