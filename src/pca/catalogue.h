// The fixed knowledge of the 18 PCA給与X tables: codes, columns in file order,
// key columns and declared widths, with lookups of a column by alias, name or
// position text. Built once per process and never changed afterwards.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/text_hash.h"

namespace kw39 {

// Column positions by name, searched with a string_view.
using ColumnIndex = platform::TextKeyMap<int>;

struct PCACOLUMNINFO {
    int nSeq;              // declared 1-based sequence number (informational)
    int nKey;              // 1 for a key column
    const char* pszAlias;  // alternative lookup name ("" for every column)
    const char* pszName;   // column name, CP932
    int nWidth;            // declared width (informational)
};

// Lookup kinds of GetValue: how its column argument is resolved.
enum ColumnLookup { kLookupAlias = 0, kLookupName = 1, kLookupNumber = 2 };

struct PCATABLEINFO {
    std::string strCode;                  // five-digit table code
    std::vector<PCACOLUMNINFO> aColumns;  // in file order
    int nColumns = 0;
    int nKeyColumns = 0;         // leading columns whose nKey is 1
    ColumnIndex mapAliasIndex;   // alias -> 0-based position
    ColumnIndex mapNameIndex;    // name -> 0-based position
    ColumnIndex mapNumberIndex;  // "1".."n" -> 0-based position

    // 0-based position of a column, or -1. Any kind other than the three gives -1.
    int FindColumn(int nKind, std::string_view column) const;
};

// The 18 tables in catalogue order: 10000, 10101, 10103, 10501, 10301, 10601,
// 10603, 10611, 10615, 10616, 10701, 10702, 10705, 10706, 10801 to 10804.
const std::vector<PCATABLEINFO>& PcaCatalogue();

// Whether a table holds rows per employee, keyed first by the employee code:
// 10601 and every later table (10804 names that column "社員コート").
bool IsEmployeeTable(const PCATABLEINFO& table);

// The table of a code (exact byte-wise match), or nullptr.
const PCATABLEINFO* FindPcaTable(std::string_view code);

// 0-based index of a table in PcaCatalogue(), or -1.
int PcaTableIndex(std::string_view code);

// A column of a catalogued table resolved once, by table code and column name,
// for the lookups that the conversion repeats for every employee.
struct PcaColumn {
    int nTable = -1;   // index in PcaCatalogue(); -1 for a code outside it
    int nColumn = -1;  // 0-based position; -1 when the table has no such column
};

// The column named `name` (resolved as FindColumn does with kLookupName) of
// the table `code`; a missing table or column gives -1 in its place.
PcaColumn FindPcaColumn(std::string_view code, std::string_view name);

// The columns of table `table` (an index in PcaCatalogue()) that
// FindPcaColumn has resolved so far, in ascending order. The conversion
// resolves every column it reads that way before it loads, so the others are
// read by nobody but the report of overwritten fields.
std::vector<int> ResolvedColumns(int table);

}  // namespace kw39
