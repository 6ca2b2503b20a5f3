#include "pca/row_store.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace kw39 {

namespace {

constexpr int kCheckpointStride = 16;
constexpr std::size_t kFirstBlock = 4 * 1024;
constexpr std::size_t kLargestBlock = 1024 * 1024;

std::size_t VarintSize(std::size_t value) {
    std::size_t size = 1;
    for (; value >= 0x80; value >>= 7) ++size;
    return size;
}

char* PutVarint(char* out, std::size_t value) {
    for (; value >= 0x80; value >>= 7) *out++ = static_cast<char>((value & 0x7F) | 0x80);
    *out++ = static_cast<char>(value);
    return out;
}

std::size_t GetVarint(const char*& p) {
    std::size_t value = 0;
    for (int shift = 0;; shift += 7) {
        const auto byte = static_cast<unsigned char>(*p++);
        value |= static_cast<std::size_t>(byte & 0x7F) << shift;
        if ((byte & 0x80) == 0) return value;
    }
}

std::size_t CheckpointCount(int columns) {
    return columns > 0 ? static_cast<std::size_t>((columns - 1) / kCheckpointStride) : 0;
}

}  // namespace

RowStore::RowStore(int columns)
    : m_nColumns(columns),
      m_nCheckpointBytes(CheckpointCount(columns) * sizeof(std::uint32_t)),
      m_nNextBlock(kFirstBlock) {}

std::uint32_t RowStore::Append(const CsvFields& fields) {
    if (m_aRows.size() >= UINT32_MAX) throw std::length_error("too many rows in one table");
    m_aRows.push_back(Store(fields, nullptr));
    return static_cast<std::uint32_t>(m_aRows.size() - 1);
}

void RowStore::Overwrite(std::uint32_t row, const CsvFields& fields) {
    m_aRows[row] = Store(fields, m_aRows[row]);
}

std::string_view RowStore::Field(std::uint32_t row, int column) const {
    const char* p = FieldStart(m_aRows[row], column);
    const std::size_t length = GetVarint(p);
    return std::string_view(p, length);
}

const char* RowStore::FieldStart(const char* row, int column) const {
    const char* p = row + m_nCheckpointBytes;
    int skip = column;
    if (column >= kCheckpointStride) {
        std::uint32_t offset = 0;
        const std::size_t slot = static_cast<std::size_t>(column / kCheckpointStride - 1);
        std::memcpy(&offset, row + slot * sizeof offset, sizeof offset);
        p = row + offset;
        skip = column % kCheckpointStride;
    }
    for (; skip > 0; --skip) p += GetVarint(p);
    return p;
}

const char* RowStore::Store(const CsvFields& fields, const char* previous) {
    // Gather the values first: the size of the row decides where it goes.
    m_aValues.clear();
    const std::size_t given = std::min(fields.size(), static_cast<std::size_t>(m_nColumns));
    std::size_t size = m_nCheckpointBytes;
    for (std::size_t i = 0; i < given; ++i) m_aValues.push_back(fields[i]);
    if (given < static_cast<std::size_t>(m_nColumns)) {
        const char* p = previous ? FieldStart(previous, static_cast<int>(given)) : nullptr;
        for (std::size_t i = given; i < static_cast<std::size_t>(m_nColumns); ++i) {
            if (!p) {
                m_aValues.emplace_back();
                continue;
            }
            const std::size_t length = GetVarint(p);
            m_aValues.emplace_back(p, length);
            p += length;
        }
    }
    for (const std::string_view value : m_aValues) size += VarintSize(value.size()) + value.size();
    if (size > UINT32_MAX) throw std::length_error("row too long");

    char* const row = Allocate(size);
    char* out = row + m_nCheckpointBytes;
    for (std::size_t i = 0; i < m_aValues.size(); ++i) {
        if (i > 0 && i % kCheckpointStride == 0) {
            const auto offset = static_cast<std::uint32_t>(out - row);
            std::memcpy(row + (i / kCheckpointStride - 1) * sizeof offset, &offset, sizeof offset);
        }
        out = PutVarint(out, m_aValues[i].size());
        if (!m_aValues[i].empty()) std::memcpy(out, m_aValues[i].data(), m_aValues[i].size());
        out += m_aValues[i].size();
    }
    return row;
}

// Rows are never freed one by one, so the arena hands out memory from large
// blocks; a block never moves, so views into it stay valid.
char* RowStore::Allocate(std::size_t size) {
    if (size > m_nFree) {
        const std::size_t blockSize = std::max(size, m_nNextBlock);
        m_aBlocks.push_back(std::make_unique_for_overwrite<char[]>(blockSize));
        m_pFree = m_aBlocks.back().get();
        m_nFree = blockSize;
        m_nNextBlock = std::min(m_nNextBlock * 2, kLargestBlock);
    }
    char* p = m_pFree;
    m_pFree += size;
    m_nFree -= size;
    return p;
}

}  // namespace kw39
