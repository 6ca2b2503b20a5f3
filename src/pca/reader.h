// CPCAKyuuyo loads the sectioned CSV files of a PCA給与X export and answers
// lookups on the loaded tables.
#pragma once

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "pca/catalogue.h"
#include "pca/field_cursor.h"
#include "pca/read_listener.h"
#include "pca/section_mark.h"
#include "platform/file_system.h"
#include "platform/message.h"

namespace kw39 {

// One condition of a selection: the row must hold `strValue` in `strColumn`.
struct ROW_ITEM {
    std::string strColumn;
    std::string strValue;
};

// A selection request: the values of `strColumn` of every row of `strTable`
// that meets the conditions (all of them when bMatchAll is 1, else any).
struct PCASELECT {
    std::string strTable;
    std::string strColumn;
    std::vector<ROW_ITEM> aConditions;
    unsigned char bMatchAll = 0;
};

// The longest value a data line may hold: 4095 bytes. The format's own
// reading of an export takes a line in pieces of at most 4095 bytes, so no
// document of the format has ever carried a longer value, and the importing
// system was never given one; PCA給与X's widest column holds 280 bytes. A
// longer value is no name or amount but a broken export, and the load refuses
// its line (DataLineError) instead of writing it.
inline constexpr std::size_t kMaxValueBytes = 4095;

class CPCAKyuuyo {
  public:
    explicit CPCAKyuuyo(platform::MessageLog& log,
                        platform::FileSystem& fs = platform::RealFileSystem());
    virtual ~CPCAKyuuyo();
    CPCAKyuuyo(const CPCAKyuuyo&) = delete;
    CPCAKyuuyo& operator=(const CPCAKyuuyo&) = delete;

    // Loads the files in the order given (the first `count` paths). True when
    // every file was read. A missing file shows "ファイルが存在しません。" and
    // returns false; a file that cannot be opened returns false silently; in both
    // cases the employee list is not rebuilt. Throws DataLineError for a
    // malformed data line (also one longer than platform::kMaxLineBytes or
    // with a value longer than kMaxValueBytes) and platform::IoError when a
    // read fails.
    bool ReadDataFiles(const std::vector<std::string>& paths, int count);

    // One value by table code, one key value per key column, and column
    // (resolved by `nKind`, see ColumnLookup). "" for any missing table, key,
    // row or column, for an empty key value, and when the number of key values
    // is not the table's number of key columns. The view stays valid while the
    // reader lives and loads nothing more.
    std::string_view GetValue(int nKind, std::string_view table,
                              std::initializer_list<std::string_view> keys,
                              std::string_view column) const;

    // The same lookup by a column resolved once with FindPcaColumn, the form for
    // the lookups that the conversion repeats for every employee.
    std::string_view GetValue(const PcaColumn& column,
                              std::initializer_list<std::string_view> keys) const;

    // Values of the result column of every selected row, in row order. The list
    // belongs to the reader and is overwritten by the next Select. An unknown
    // result column shows "存在しないカラム名が設定されています。\n[name]".
    const std::vector<std::string_view>& Select(const PCASELECT& request);

    // What Select answers for one condition on the first key column (bMatchAll
    // 1): the values of `column` in the rows whose first key column holds
    // `value`, in row order, for a column resolved once. Into the same list as
    // Select; empty for an unresolved column or a table without key columns.
    const std::vector<std::string_view>& SelectByFirstKey(const PcaColumn& column,
                                                          std::string_view value);

    // The rows a selection of one condition on the first key column picks,
    // in row order, for the conversion to read with RowValue: the rows of one
    // employee. The list belongs to the reader and is overwritten by the next
    // selection of either kind; empty for an unresolved table or one without
    // key columns.
    const std::vector<std::uint32_t>& SelectRowsByFirstKey(const PcaColumn& column,
                                                           std::string_view value);

    // The row of the table of `column` that GetValue reads under `keys`; a
    // row no table holds (which RowValue answers with "") where GetValue
    // answers "" whatever the column: no such row, an empty key value, or not
    // one key value per key column. Several values of one row are then read
    // with one lookup.
    std::size_t FindRowOf(const PcaColumn& column,
                          std::initializer_list<std::string_view> keys) const;

    // Employee codes of table 10601, in row order.
    const std::vector<std::string>& GetEmployeeCodes() const;

    // "会社名" of the last data line read in a 10000 section; "" until then.
    std::string GetCompanyName() const;

    // Number of rows loaded into a table: 1 for a table without key columns,
    // 0 for an unknown code.
    std::size_t RowCount(std::string_view table) const;

    // Whether any file read had a header line of the table.
    bool SectionRead(std::string_view table) const;

    // The rows of a table in runs of one first value, in row order: `visit`
    // gets the value, the first row of the run and its number of rows. The
    // rows of one employee mostly follow each other, so a walk over the
    // employees a table names takes one call for each.
    void ForEachFirstValueRun(std::string_view table,
                              const std::function<void(std::string_view value, std::size_t first,
                                                       std::size_t rows)>& visit) const;

    // The value in a column (resolved once) of a row (below RowCount) of a
    // keyed table, in row order: the form for a walk over a table; "" for an
    // unknown table or column.
    std::string_view RowValue(const PcaColumn& column, std::size_t row) const;

    // What RowValue answers, and whether a table of two key columns holds a
    // row under `code` and `key2` (both not empty), found without changing
    // anything in the reader, not even what the lookups keep for the next
    // one: these may be asked on a second thread while another thread reads
    // the reader. What the caller's lookups keep instead is its own.
    struct SharedLookup {
        std::string joined;              // the key joined last
        std::uint32_t row = UINT32_MAX;  // the row found last: the next one is tried first
        std::uint32_t group = 0;         // the group of rows selected last
        FieldCursor field;               // the value read last
    };
    std::string_view SharedRowValue(const PcaColumn& column, std::size_t row) const;
    bool SharedHasRow(const PcaColumn& column, std::string_view code, std::string_view key2,
                      SharedLookup& lookup) const;
    // What SelectRowsByFirstKey (into `rows`), FindRowOf and RowValue answer,
    // asked in the same way; `lookup` serves one table. A table's rows are
    // grouped for its first selection by the first key: GroupRows does that
    // beforehand, and while it runs nothing else may select from that table.
    void SharedRowsByFirstKey(const PcaColumn& column, std::string_view value, SharedLookup& lookup,
                              std::vector<std::uint32_t>& rows) const;
    std::size_t SharedFindRowOf(const PcaColumn& column,
                                std::initializer_list<std::string_view> keys,
                                SharedLookup& lookup) const;
    std::string_view SharedRowValue(const PcaColumn& column, std::size_t row,
                                    SharedLookup& lookup) const;
    void GroupRows(const PcaColumn& column) const;

    // Where the first line of a row of a keyed table, or of the row under
    // `keys`, was read; known only for the lines read while a listener was set.
    LineOrigin RowOrigin(std::string_view table, std::size_t row) const;
    LineOrigin RowOrigin(std::string_view table,
                         std::initializer_list<std::string_view> keys) const;

    // Where the sections of the file at `path` lie, as a reading of the whole
    // file before the load found them (through the handle the load reads):
    // a large section may then be loaded on a second thread. A file that no
    // longer holds them where they were fails to load (InputChangedError).
    void SetSectionMarks(const std::string& path, SectionMarks marks);
    // The least size of a section loaded on a second thread: 8 MiB, below
    // which a thread costs more than it saves. Tests make it smaller.
    void SetLeastAside(std::uint64_t bytes);

    // Tells `listener` (nullptr: nobody) about the lines the following loads
    // find worth a look. The reader does not own it; with kept columns it is
    // set before the first load.
    void SetListener(ReadListener* listener);

    // Keeps, of the lines loaded from now on, only the columns FindPcaColumn
    // has resolved in their table, and the key columns: the conversion
    // resolves what it reads before it loads, and a line is mostly amounts it
    // never reads. Asking for another column is a fault of the caller
    // (std::logic_error). Where a listener is told, a line keeps all its
    // fields unless its file can be read again, for the values the report of
    // an overwritten field tells.
    void KeepResolvedColumns();
    // The same for one table, with the columns given (tests).
    void KeepColumnsOf(std::string_view table, std::vector<int> columns);

  private:
    struct Impl;
    std::unique_ptr<Impl> m_pImpl;
};

}  // namespace kw39
