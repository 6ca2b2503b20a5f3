// The rows of one table, kept compact. A table can hold hundreds of thousands of
// rows of up to 157 mostly short fields, so a row is one run of bytes in a
// shared arena rather than a string per field: every field is its length (a
// 7-bit varint, one byte for short fields) followed by its bytes, and every 16th
// field has its offset noted at the start of the row for quick access.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "pca/csv_fields.h"

namespace kw39 {

class RowStore {
  public:
    explicit RowStore(int columns);

    std::size_t Size() const { return m_aRows.size(); }
    int Columns() const { return m_nColumns; }

    // Appends a row holding `fields` in its first positions and "" in the others;
    // returns its index. `fields` must not have more entries than Columns().
    std::uint32_t Append(const CsvFields& fields);

    // Writes `fields` over the first positions of a row; positions beyond them
    // keep their values. Views handed out earlier stay valid (with the old value).
    void Overwrite(std::uint32_t row, const CsvFields& fields);

    // The value at a 0-based position; valid for the life of the store.
    std::string_view Field(std::uint32_t row, int column) const;

  private:
    // Stores a row in the arena: the values of `fields` in the first positions,
    // the rest from `previous` (or "" when there is none).
    const char* Store(const CsvFields& fields, const char* previous);
    const char* FieldStart(const char* row, int column) const;
    char* Allocate(std::size_t size);

    int m_nColumns;
    std::size_t m_nCheckpointBytes;  // size of the offset table at the start of a row
    std::vector<const char*> m_aRows;
    std::vector<std::unique_ptr<char[]>> m_aBlocks;
    char* m_pFree = nullptr;  // free space in the newest block
    std::size_t m_nFree = 0;
    std::size_t m_nNextBlock;                 // size of the next block; grows up to a limit
    std::vector<std::string_view> m_aValues;  // reused while a row is stored
};

}  // namespace kw39
