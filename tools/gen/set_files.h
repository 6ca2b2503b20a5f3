// The writers of the six files, one per file kind. Internal to the generator.
#pragma once

#include <cstdint>

#include "csv_out.h"
#include "people.h"

namespace kw39::gen {

// The [10000] block that opens every file; `kind` names the file's content.
void WriteExportHeader(CsvOut& out, const char* kind);

void WriteCompanyFile(CsvOut& out);
void WritePayeeFile(CsvOut& out);
void WriteDepartmentFile(CsvOut& out, const Company& company);
void WriteEmployeeFile(CsvOut& out, const Company& company);
void WriteMonthlyFile(CsvOut& out, const Company& company, std::uint64_t seed);
void WriteYearEndFile(CsvOut& out, const Company& company, std::uint64_t seed);

}  // namespace kw39::gen
