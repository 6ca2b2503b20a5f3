// The rows of one table, kept compact. A table can hold hundreds of thousands of
// rows of up to 157 mostly short fields, so a row is one run of bytes in a
// shared arena rather than a string per field: the number of its fields, then
// every field as a head byte and its bytes (field_encoding.h), and the offset
// of every 16th field noted at the start of the row for quick access (in two
// bytes, or four in a row longer than 64 KiB). Positions beyond a row's fields
// hold "".
//
// The reader splits each data line straight into the arena as a staged row
// (StageLine), checks it, and only then keeps it as a new row or lays it over
// an existing one; a line that fails its checks leaves nothing behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "pca/csv_fields.h"
#include "pca/field_cursor.h"

namespace kw39 {

class RowStore {
  public:
    explicit RowStore(int columns);

    std::size_t Size() const { return m_aRows.size(); }
    // Makes room for `rows` rows in all without growing the list of rows again.
    void ReserveRows(std::size_t rows) { m_aRows.reserve(rows); }
    int Columns() const { return m_nColumns; }

    // Appends a row that holds "" in every position (a table without key
    // columns starts with one); returns its index.
    std::uint32_t AppendEmpty();

    // Keeps the first `columns` positions of the lines staged from now on (at
    // least one; at times a few more): the fields after them are counted, not
    // kept. A line with quotes, or one staged whole, keeps all its fields.
    void KeepColumns(int columns);
    int KeptColumns() const { return m_nKept; }
    // Keeps, of the first KeptColumns() positions of such lines, only those of
    // `columns` (at least the first): the positions between them hold "" in
    // the rows of such lines, which HoldsField tells apart. Only for a store
    // of 17 columns or more; a smaller one keeps the first positions.
    void KeepOnly(const std::vector<int>& columns);
    // Whether the position is kept by the lines staged not whole.
    bool IsKept(int column) const {
        return column >= 0 && column < m_nKept &&
               (m_aNextKept.empty() ||
                m_aNextKept[static_cast<std::size_t>(column)] == static_cast<std::size_t>(column));
    }

    // The value at a 0-based position that IsKept; valid for the life of the
    // store. Any other position is a fault of the caller (std::logic_error).
    std::string_view Field(std::uint32_t row, int column) const;
    // The same without keeping where it was found, so that it may be asked on
    // a second thread while another reads the store.
    std::string_view SharedField(std::uint32_t row, int column) const;
    // The same going on from `cursor`, the caller's own, and moving it there.
    std::string_view FieldFrom(std::uint32_t row, int column, FieldCursor& cursor) const;
    // The value a row holds at any position: "" where it holds none, which
    // after KeptColumns() may be a value that was not kept.
    std::string_view HeldField(std::uint32_t row, int column) const;
    // The number of positions a row holds.
    int HeldCount(std::uint32_t row) const { return CountOf(m_aRows[row]); }
    // Whether the row holds its line's value at the position: one below
    // HeldCount, and kept unless the row came from a line staged not whole.
    bool HoldsField(std::uint32_t row, int column) const {
        return column < HeldCount(row) && (IsKept(column) || !LeftOut(m_aRows[row]));
    }

    // Splits `line` by the CSV rules (SplitCsvInto) into a staged row at the end
    // of the arena and returns the number of fields of the line, which may be
    // more than Columns(). `whole`: every field is kept, whatever
    // KeptColumns() says. The staged row is replaced by the next StageLine.
    std::size_t StageLine(std::string_view line, bool whole = false);
    // A field of the staged row; `i` below StagedKept() and Columns().
    std::string_view StagedField(std::size_t i) const;
    // The number of fields of the staged line.
    std::size_t StagedCount() const { return m_nStaged; }
    // How many of them the staged row keeps.
    std::size_t StagedKept() const { return m_nStagedKept; }
    // Whether the staged row holds the line's value at field `i`.
    bool StagedHolds(std::size_t i) const {
        return i < m_nStagedKept && (!m_bStagedLeftOut || IsKept(static_cast<int>(i)));
    }
    // What the split told about the quotes of the staged line.
    QuoteFault StagedQuoteFault() const { return m_eStagedFault; }
    // Keeps the staged row (at most Columns() fields) as a new row.
    std::uint32_t AppendStaged();
    // Lays the staged row (at most Columns() fields) over the first positions of
    // a row; positions beyond it keep their values. Views handed out earlier
    // stay valid (with the old value).
    void OverwriteWithStaged(std::uint32_t row);

  private:
    class Builder;

    // Every row is preceded by the number of its fields, one byte: the
    // positions after them hold "" without taking any room (a short line in
    // a table of 157 columns stays short).
    static constexpr std::size_t kCountSize = 1;
    static int CountOf(const char* row) { return static_cast<unsigned char>(row[-1]); }
    char* StagedRow() const { return m_pFree + kCountSize; }

    void StageUnquoted(std::string_view text, std::size_t header, std::size_t keep, bool leaveOut);
    // The noted offsets and the byte before them, asked for every field read.
    std::size_t HeaderSize(bool wide) const {
        if (m_nCheckpoints == 0) return 0;
        return 1 + m_nCheckpoints * (wide ? sizeof(std::uint32_t) : sizeof(std::uint16_t));
    }
    // The first byte of a row with noted offsets: whether they are wide, and
    // whether positions not kept were left out (hold "").
    static constexpr char kWideRow = 1;
    static constexpr char kLeftOutRow = 2;
    bool LeftOut(const char* row) const {
        return m_nCheckpoints > 0 && (row[0] & kLeftOutRow) != 0;
    }
    const char* FieldStart(const char* row, int column) const;
    // Stores a row from its values (at most Columns(); the rest are "") and
    // returns it. No value may lie in the free part of the arena.
    const char* Place(const std::vector<std::string_view>& values, bool leftOut = false);
    // Appends the values of `previous` from position `from` on to m_aValues;
    // whether there were any.
    bool GatherTail(const char* previous, std::size_t from);
    // Makes at least `size` contiguous bytes free in the newest block.
    void Reserve(std::size_t size);
    char* Allocate(std::size_t size);

    int m_nColumns;
    int m_nKept;  // positions kept of a line staged not whole
    // Which of them are kept: per position, and for as many more as a split
    // may reach, the first kept position from it on (SIZE_MAX: none); empty
    // when all of them are.
    std::vector<std::size_t> m_aNextKept;
    std::size_t m_nCheckpoints;  // noted offsets at the start of a row
    std::vector<const char*> m_aRows;
    std::vector<std::unique_ptr<char[]>> m_aBlocks;
    char* m_pFree = nullptr;  // free space in the newest block
    std::size_t m_nFree = 0;
    std::size_t m_nNextBlock;  // size of the next block; grows up to a limit

    // The staged row lies at m_pFree: the number of fields of its line, its
    // size, and the width of its noted offsets.
    std::size_t m_nStaged = 0;
    std::size_t m_nStagedKept = 0;
    std::size_t m_nStagedBytes = 0;
    bool m_bStagedWide = false;
    bool m_bStagedLeftOut = false;  // positions not kept hold ""
    QuoteFault m_eStagedFault = QuoteFault::None;

    // The field Field read last; Field is asked on one thread only.
    mutable FieldCursor m_cursor;

    std::vector<std::string_view> m_aValues;  // reused while a row is stored
    std::string m_strScratch;                 // staged fields copied before a merge
};

}  // namespace kw39
