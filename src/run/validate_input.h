// Checks of the input set before a run, and the proposal of an output name.
#pragma once

#include <string>

#include "platform/file_system.h"
#include "run/run_port.h"

namespace kw39 {

// True when the run may start; on false the message of the failed check (if it
// has one) was shown and the focus moved. Throws DataLineError when a company
// block has too few fields, platform::IoError when a read fails.
bool ValidateInputSet(RunPort& port, platform::FileSystem& fs = platform::RealFileSystem());

// Proposes "<company code><company name>.XML" from the company file. Throws
// DataLineError when the company block has too few fields.
bool SuggestOutputFileName(RunPort& port, std::string& name,
                           platform::FileSystem& fs = platform::RealFileSystem());

}  // namespace kw39
