// The PCA reader over one file of any content, then every lookup on what it
// loaded. A malformed data line is an expected outcome; after a load the quick
// lookups must agree with a plain walk over the rows.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "pca/catalogue.h"
#include "pca/data_line_error.h"
#include "pca/reader.h"
#include "support/fault_file_system.h"

namespace {

using kw39::fuzz::Require;

const char kPath[] = "/in/DATA.CSV";

std::vector<std::string> Column(kw39::CPCAKyuuyo& reader, const kw39::PCATABLEINFO& table,
                                int column, std::vector<kw39::ROW_ITEM> conditions,
                                unsigned char matchAll) {
    kw39::PCASELECT request;
    request.strTable = table.strCode;
    request.strColumn = table.aColumns[static_cast<std::size_t>(column)].pszName;
    request.aConditions = std::move(conditions);
    request.bMatchAll = matchAll;
    const std::vector<std::string_view>& found = reader.Select(request);
    return std::vector<std::string>(found.begin(), found.end());
}

// Rows of a keyed table found by their key give back what a walk finds.
void CheckTable(kw39::CPCAKyuuyo& reader, const kw39::PCATABLEINFO& table) {
    const std::size_t rows = reader.RowCount(table.strCode);
    std::vector<std::vector<std::string>> columns;
    for (int c = 0; c < table.nColumns; ++c) {
        columns.push_back(Column(reader, table, c, {}, 1));
        Require(columns.back().size() == rows, "a selection without conditions takes every row");
    }
    const int keys = table.nKeyColumns;
    if (keys == 0) {
        Require(rows == 1, "a table without keys has one row");
        return;
    }
    const char* const firstKey = table.aColumns[0].pszName;
    // Only the first few rows: a big input must not make one run slow.
    for (std::size_t r = 0; r < rows && r < 50; ++r) {
        const std::string& first = columns[0][r];
        const auto quick = Column(reader, table, keys - 1, {{firstKey, first}}, 1);
        const auto walked =
            Column(reader, table, keys - 1, {{firstKey, first}, {firstKey, first}}, 1);
        Require(quick == walked, "the row index agrees with a walk over the rows");

        bool anyEmpty = false;
        for (int k = 0; k < keys; ++k) anyEmpty = anyEmpty || columns[k][r].empty();
        const std::string_view a = keys >= 1 ? std::string_view(columns[0][r]) : "";
        const std::string_view b = keys >= 2 ? std::string_view(columns[1][r]) : "";
        for (int c = 0; c < table.nColumns; c += 7) {
            const char* name = table.aColumns[static_cast<std::size_t>(c)].pszName;
            const std::string_view value =
                keys == 1 ? reader.GetValue(kw39::kLookupName, table.strCode, {a}, name)
                          : reader.GetValue(kw39::kLookupName, table.strCode, {a, b}, name);
            Require(anyEmpty ? value.empty() : value == columns[static_cast<std::size_t>(c)][r],
                    "a row found by its key holds what the walk found");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kw39::test::MemoryFileSystem fs;
    fs.AddFile(kPath, std::string(reinterpret_cast<const char*>(data), size));
    kw39::platform::MessageLog port;
    kw39::CPCAKyuuyo reader(port, fs);
    try {
        Require(reader.ReadDataFiles({kPath}, 1), "an existing file is read");
        // Read again: every row is merged into itself.
        Require(reader.ReadDataFiles({kPath}, 1), "an existing file is read twice");
    } catch (const kw39::DataLineError& error) {
        Require(error.LineNumber() >= 1 && error.Path() == kPath, "the error names file and line");
        return 0;
    }
    for (const kw39::PCATABLEINFO& table : kw39::PcaCatalogue()) CheckTable(reader, table);
    const std::vector<std::string>& employees = reader.GetEmployeeCodes();
    Require(employees.size() == reader.RowCount("10601"), "every employee row is listed");
    return 0;
}
