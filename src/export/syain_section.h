// The SYAIN section of one employee inside the DATA element.
#pragma once

#include <string_view>

#include "export/document_writer.h"
#include "export/syain_data.h"

namespace kw39 {

// "" for a value of exactly "0", else the value: amounts that are zero are
// written as empty elements in the deduction and total groups.
std::string_view BlankIfZero(std::string_view value);

// Writes the whole section of `syain` for `mode` (1 standard, 2 simple).
void WriteSyainSection(DocumentWriter& writer, const SYAINDATA& syain, LinkMode mode);

}  // namespace kw39
