// Validation of an output document against the XML Schema of its mode
// (docs/kw39-standard.xsd, docs/kw39-simple.xsd) with xmllint.
#pragma once

#include <optional>
#include <string>

#include "program_run.h"

namespace kw39::test {

// The schema file of a mode: 1 standard, 2 simple.
std::string SchemaPath(int mode);

// xmllint's verdict on the document at `path`, or nothing when xmllint is not
// installed (the caller skips). `scratchDir` takes xmllint's output files.
std::optional<ProgramResult> ValidateWithSchema(const std::string& path, int mode,
                                                const std::string& scratchDir);

}  // namespace kw39::test
