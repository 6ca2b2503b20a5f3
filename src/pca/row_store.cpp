#include "pca/row_store.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <stdexcept>

#include "pca/field_encoding.h"
#include "platform/bits.h"
#include "platform/memory.h"
#include "platform/sjis.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace kw39 {

namespace {

using namespace field_encoding;

constexpr int kCheckpointStride = 16;
constexpr std::size_t kFirstBlock = 4 * 1024;
constexpr std::size_t kLargestBlock = 1024 * 1024;
// Blocks from this size on are backed with memory when they are allocated.
constexpr std::size_t kPrefaultedBlock = kLargestBlock / 4;
// Rows up to this size note their field offsets in two bytes.
constexpr std::size_t kNarrowLimit = 0xFFFF;
// Short fields are copied eight bytes at a time, a few bytes past their end.
constexpr std::size_t kCopySlack = 8;

constexpr std::uint64_t kHighBits = 0x8080808080808080u;
constexpr std::uint64_t kLowBits = 0x7F7F7F7F7F7F7F7Fu;
constexpr std::uint64_t kCommas = 0x2C2C2C2C2C2C2C2Cu;
constexpr std::uint64_t kLowestBits = 0x0101010101010101u;

// The high bit of every byte of `word` that is a comma (exact for each byte:
// no carry crosses from one byte into the next).
constexpr std::uint64_t CommaBytes(std::uint64_t word) {
    const std::uint64_t x = word ^ kCommas;
    return ~(((x & kLowBits) + kLowBits) | x) & kHighBits;
}

// The commas among the 64 bytes at `p`, a bit a byte; false when a byte beyond
// ASCII is among them (the second byte of a double-byte character ends no
// field, so such bytes are split one character at a time).
bool AsciiCommas64(const char* p, std::uint64_t& commas) {
#if defined(__SSE2__) || defined(_M_X64)
    const __m128i comma = _mm_set1_epi8(',');
    std::uint64_t high = 0;
    commas = 0;
    for (int i = 0; i < 4; ++i) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
        const auto shift = static_cast<unsigned>(16 * i);
        high |= std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(v))} << shift;
        commas |=
            std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, comma)))}
            << shift;
    }
    return high == 0;
#else
    commas = 0;
    for (unsigned i = 0; i < 64; ++i) {
        const auto c = static_cast<unsigned char>(p[i]);
        if (c >= 0x80) return false;
        if (c == ',') commas |= std::uint64_t{1} << i;
    }
    return true;
#endif
}

// "0,0,0,0," as a word read from memory.
constexpr std::uint64_t kFourZeros =
    std::bit_cast<std::uint64_t>(std::array<char, 8>{'0', ',', '0', ',', '0', ',', '0', ','});

// The largest staged row a line of `length` bytes can give: the split keeps at
// most the line's bytes, a line has at most length + 1 fields, each with a head
// of one byte or, for a field of 128 bytes or more, five; short lines are
// padded to `columns` fields; and one more head byte is held in reserve.
std::size_t StagedBound(std::size_t length, int columns) {
    return 2 * length + length / 32 + static_cast<std::size_t>(columns) + 2 + kCopySlack;
}

void PutOffset(char* row, std::size_t slot, std::size_t offset, bool wide) {
    if (wide) {
        const auto value = static_cast<std::uint32_t>(offset);
        std::memcpy(row + 1 + slot * sizeof value, &value, sizeof value);
    } else {
        const auto value = static_cast<std::uint16_t>(offset);
        std::memcpy(row + 1 + slot * sizeof value, &value, sizeof value);
    }
}

std::size_t GetOffset(const char* row, std::size_t slot, bool wide) {
    if (wide) {
        std::uint32_t value = 0;
        std::memcpy(&value, row + 1 + slot * sizeof value, sizeof value);
        return value;
    }
    std::uint16_t value = 0;
    std::memcpy(&value, row + 1 + slot * sizeof value, sizeof value);
    return value;
}

// The fields from `p` to `end`, a line cut at a field's start, counted at
// their commas as a split of the whole line finds them.
std::size_t CountFields(const char* p, const char* end) {
    std::size_t commas = 0;
    while (p < end) {
        if (end - p >= 8) {
            std::uint64_t word = 0;
            std::memcpy(&word, p, sizeof word);
            if ((word & kHighBits) == 0) {
                // One bit per comma byte, summed into the top byte.
                commas += static_cast<std::size_t>(((CommaBytes(word) >> 7) * kLowestBits) >> 56);
                p += 8;
                continue;
            }
        }
        const auto c = static_cast<unsigned char>(*p);
        if (platform::IsLeadByte(c) && end - p > 1) {
            p += 2;
            continue;
        }
        if (c == ',') ++commas;
        ++p;
    }
    return commas + 1;
}

[[noreturn]] void ThrowNotKept() { throw std::logic_error("a column that was not kept was read"); }

// A row notes its number of fields in one byte.
int CheckedColumns(int columns) {
    if (columns > UINT8_MAX) throw std::length_error("too many columns in one table");
    return columns;
}

}  // namespace

// The output of SplitCsvInto for a staged row with quotes: writes the bytes of
// each field behind a head byte kept free for it, encodes the field when it
// ends, and notes the offset of every 16th field in the row's header.
class RowStore::Builder {
  public:
    Builder(char* row, std::size_t headerSize, std::size_t checkpoints, bool wide)
        : m_pRow(row),
          m_pFieldStart(row + headerSize),
          m_pOut(m_pFieldStart + 1),
          m_nCheckpoints(checkpoints),
          m_bWide(wide) {}

    void AppendBytes(std::string_view bytes) {
        std::memcpy(m_pOut, bytes.data(), bytes.size());
        m_pOut += bytes.size();
    }
    void AppendByte(char c) { *m_pOut++ = c; }

    void EndField() {
        char* const bytes = m_pFieldStart + 1;
        const auto size = static_cast<std::size_t>(m_pOut - bytes);
        if (const unsigned char token = TokenOf(bytes, size)) {
            *m_pFieldStart = static_cast<char>(token);
            m_pOut = bytes;
        } else if (size < kShortLimit) {
            *m_pFieldStart = static_cast<char>(size);
        } else {
            // A long field needs the longer head: move its bytes up.
            std::memmove(m_pFieldStart + kLongHeadSize, bytes, size);
            m_pOut = PutHead(m_pFieldStart, size) + size;
        }
        ++m_nFields;
        if (m_nFields % kCheckpointStride == 0) {
            const std::size_t slot = m_nFields / kCheckpointStride - 1;
            if (slot < m_nCheckpoints) {
                PutOffset(m_pRow, slot, static_cast<std::size_t>(m_pOut - m_pRow), m_bWide);
            }
        }
        m_pFieldStart = m_pOut++;
    }

    std::size_t Fields() const { return m_nFields; }
    // Bytes of the row so far (the head byte held for a next field excluded).
    std::size_t Bytes() const { return static_cast<std::size_t>(m_pFieldStart - m_pRow); }

  private:
    char* m_pRow;
    char* m_pFieldStart;  // where the head of the current field goes
    char* m_pOut;
    std::size_t m_nFields = 0;
    std::size_t m_nCheckpoints;
    bool m_bWide;
};

RowStore::RowStore(int columns)
    : m_nColumns(CheckedColumns(columns)),
      m_nKept(std::max(columns, 1)),
      m_nCheckpoints(columns > 0 ? static_cast<std::size_t>((columns - 1) / kCheckpointStride) : 0),
      m_nNextBlock(kFirstBlock) {}

std::uint32_t RowStore::AppendEmpty() {
    if (m_aRows.size() >= UINT32_MAX) throw std::length_error("too many rows in one table");
    m_aValues.clear();
    m_aRows.push_back(Place(m_aValues));
    return static_cast<std::uint32_t>(m_aRows.size() - 1);
}

void RowStore::KeepColumns(int columns) {
    m_nKept = std::clamp(columns, 1, std::max(m_nColumns, 1));
    m_aNextKept.clear();
}

void RowStore::KeepOnly(const std::vector<int>& columns) {
    int highest = 0;
    for (const int column : columns) highest = std::max(highest, column);
    KeepColumns(highest + 1);
    if (m_nCheckpoints == 0) return;
    // A split goes on to the next noted offset after the kept positions.
    std::vector<unsigned char> kept(static_cast<std::size_t>(m_nKept + kCheckpointStride), 0);
    kept[0] = 1;
    for (const int column : columns) {
        if (column >= 0 && column < m_nKept) kept[static_cast<std::size_t>(column)] = 1;
    }
    m_aNextKept.assign(kept.size(), SIZE_MAX);
    for (std::size_t i = kept.size(); i-- > 0;) {
        m_aNextKept[i] = kept[i] != 0 ? i : i + 1 < kept.size() ? m_aNextKept[i + 1] : SIZE_MAX;
    }
}

std::string_view RowStore::Field(std::uint32_t row, int column) const {
    return FieldFrom(row, column, m_cursor);
}

std::string_view RowStore::FieldFrom(std::uint32_t row, int column, FieldCursor& cursor) const {
    if (!IsKept(column)) ThrowNotKept();
    const char* const start = m_aRows[row];
    if (column >= CountOf(start)) return {};
    const char* p = nullptr;
    // Going on from the field read last skips no more fields than starting
    // from the nearest noted offset would.
    if (row == cursor.row && column >= cursor.column &&
        column - cursor.column <= column % kCheckpointStride) {
        p = cursor.field;
        for (int skip = column - cursor.column; skip > 0; --skip) Skip(p);
    } else {
        p = FieldStart(start, column);
    }
    cursor = {row, column, p};
    return Decode(p);
}

std::string_view RowStore::SharedField(std::uint32_t row, int column) const {
    if (!IsKept(column)) ThrowNotKept();
    return HeldField(row, column);
}

std::string_view RowStore::HeldField(std::uint32_t row, int column) const {
    const char* const start = m_aRows[row];
    if (column >= CountOf(start)) return {};
    const char* p = FieldStart(start, column);
    return Decode(p);
}

const char* RowStore::FieldStart(const char* row, int column) const {
    const char* p = nullptr;
    int skip = column;
    if (column >= kCheckpointStride) {
        p = row + GetOffset(row, static_cast<std::size_t>(column / kCheckpointStride - 1),
                            (row[0] & kWideRow) != 0);
        skip = column % kCheckpointStride;
    } else {
        p = row + HeaderSize(m_nCheckpoints > 0 && (row[0] & kWideRow) != 0);
    }
    for (; skip > 0; --skip) Skip(p);
    return p;
}

std::size_t RowStore::StageLine(std::string_view line, bool whole) {
    if (line.size() >= UINT32_MAX / 2) throw std::length_error("line too long");
    const std::size_t bound = StagedBound(line.size(), m_nColumns);
    m_bStagedWide = HeaderSize(false) + bound > kNarrowLimit;
    const std::size_t header = HeaderSize(m_bStagedWide);
    Reserve(kCountSize + header + bound);
    char* const row = StagedRow();
    if (header > 0) row[0] = m_bStagedWide ? kWideRow : 0;
    // Most lines (all of the monthly data) hold no quote; they split at their
    // commas alone.
    const std::string_view text = platform::TrimLeadingBlanks(platform::TrimTrailingBlanks(line));
    m_bStagedLeftOut = false;
    if (std::memchr(text.data(), '"', text.size()) == nullptr) {
        m_bStagedLeftOut = !whole && !m_aNextKept.empty();
        if (m_bStagedLeftOut) row[0] = static_cast<char>(row[0] | kLeftOutRow);
        StageUnquoted(text, header, whole ? SIZE_MAX : static_cast<std::size_t>(m_nKept),
                      m_bStagedLeftOut);
        m_eStagedFault = QuoteFault::None;
    } else {
        Builder builder(row, header, m_nCheckpoints, m_bStagedWide);
        m_eStagedFault = SplitCsvInto(text, builder);
        m_nStaged = builder.Fields();
        m_nStagedKept = m_nStaged;
        m_nStagedBytes = builder.Bytes();
    }
    return m_nStaged;
}

// A line without quotes splits at every comma that is not the second byte of a
// double-byte character, and every field keeps its bytes, but for the fields
// not kept when `leaveOut`, which hold ""; after the first `keep` fields the
// rest are only counted.
void RowStore::StageUnquoted(std::string_view text, std::size_t header, std::size_t keep,
                             bool leaveOut) {
    char* const row = StagedRow();
    char* out = row + header;
    const char* p = text.data();
    const char* const end = p + text.size();
    const char* start = p;  // of the current field
    std::size_t fields = 0;
    std::size_t toCheckpoint = kCheckpointStride;
    // Where the split stops: the end, or where enough fields are kept. That is
    // found every 16th field, so up to 15 more than `keep` may be kept.
    const char* stop = end;
    // Runs for every field, millions of times: kept short.
    const std::size_t leftFrom = leaveOut ? m_aNextKept.size() : 0;
    const auto endField = [&](const char* fieldEnd) {
        const auto length = static_cast<std::size_t>(fieldEnd - start);
        if (leaveOut && (fields >= leftFrom || m_aNextKept[fields] != fields)) {
            *out++ = 0;
        } else if (const unsigned char token = TokenOf(start, length)) {
            *out++ = static_cast<char>(token);
        } else {
            char* const bytes = PutHead(out, length);
            if (length <= kCopySlack && end - start >= static_cast<std::ptrdiff_t>(kCopySlack)) {
                std::memcpy(bytes, start, kCopySlack);  // the bytes past the field are overwritten
            } else {
                std::memcpy(bytes, start, length);
            }
            out = bytes + length;
        }
        start = fieldEnd + 1;
        ++fields;
        if (--toCheckpoint == 0) {
            toCheckpoint = kCheckpointStride;
            const std::size_t slot = fields / kCheckpointStride - 1;
            if (slot < m_nCheckpoints) {
                PutOffset(row, slot, static_cast<std::size_t>(out - row), m_bStagedWide);
            }
            if (fields >= keep) stop = start;
        }
    };
    // Fields left out that end at the commas `commas` of the block at `block`,
    // up to the next kept one, are "" each, made at once, with the noted
    // offsets among them; the split stops at the first noted offset after the
    // kept positions. Answers the commas left.
    const auto passLeftOut = [&](const char* block, std::uint64_t commas) {
        const std::size_t ends = platform::CountOnes(commas);
        std::size_t take = std::min(ends, m_aNextKept[fields] - fields);
        bool stopped = false;
        for (std::size_t at = toCheckpoint; at <= take; at += kCheckpointStride) {
            const std::size_t reached = fields + at;
            const std::size_t slot = reached / kCheckpointStride - 1;
            if (slot < m_nCheckpoints) {
                PutOffset(row, slot, static_cast<std::size_t>(out - row) + at, m_bStagedWide);
            }
            if (reached >= keep) {
                take = at;
                stopped = true;
                break;
            }
        }
        std::memset(out, 0, take);
        out += take;
        fields += take;
        toCheckpoint = kCheckpointStride - fields % kCheckpointStride;
        if (take == ends) {
            start = block + (63 - std::countl_zero(commas)) + 1;
            commas = 0;
        } else {
            for (std::size_t i = 1; i < take; ++i) commas &= commas - 1;
            start = block + std::countr_zero(commas) + 1;
            commas &= commas - 1;
        }
        if (stopped) stop = start;
        return commas;
    };
    // Before here, a block of 64 bytes held a byte beyond ASCII.
    const char* plainFrom = p;
    while (p < stop) {
        // A block of 64 bytes of ASCII splits at its commas, all found at once.
        if (end - p >= 64 && p >= plainFrom) {
            std::uint64_t commas = 0;
            if (AsciiCommas64(p, commas)) {
                const char* const block = p;
                while (commas != 0 && stop == end) {
                    if (leaveOut && fields < leftFrom && m_aNextKept[fields] > fields) {
                        commas = passLeftOut(block, commas);
                    } else {
                        endField(block + std::countr_zero(commas));
                        commas &= commas - 1;
                    }
                }
                p = stop == end ? block + 64 : stop;
                continue;
            }
            plainFrom = p + 64;
        }
        if (end - p >= 8) {
            // Four fields "0" in a row, the most common bytes of the monthly
            // tables, kept as four tokens at once where a field starts at or
            // just before the next word, and no noted offset falls among them.
            if (end - start >= 8 && start + 1 >= p && toCheckpoint > 4) {
                std::uint64_t atStart = 0;
                std::memcpy(&atStart, start, sizeof atStart);
                if (atStart == kFourZeros) {
                    std::memset(out, static_cast<char>(kShortLimit), 4);
                    out += 4;
                    fields += 4;
                    toCheckpoint -= 4;
                    start += 8;
                    p = start;
                    continue;
                }
            }
            std::uint64_t word = 0;
            std::memcpy(&word, p, sizeof word);
            if ((word & kHighBits) == 0) {
                // Eight single-byte characters: every comma among them ends a field.
                std::uint64_t commas = CommaBytes(word);
                // Fields left out that all end here, before the next noted
                // offset, are "" each, made at once.
                if (leaveOut && commas != 0) {
                    const auto ends = static_cast<std::size_t>(((commas >> 7) * kLowestBits) >> 56);
                    if (ends < toCheckpoint && fields < leftFrom &&
                        m_aNextKept[fields] >= fields + ends) {
                        std::memset(out, 0, sizeof word);  // only `ends` of them count
                        out += ends;
                        fields += ends;
                        toCheckpoint -= ends;
                        start = p + (63 - std::countl_zero(commas)) / 8 + 1;
                        p += 8;
                        continue;
                    }
                }
                for (; commas != 0; commas &= commas - 1) {
                    endField(p + std::countr_zero(commas) / 8);
                }
                p += 8;
                continue;
            }
        }
        const auto c = static_cast<unsigned char>(*p);
        if (platform::IsLeadByte(c) && end - p > 1) {
            p += 2;  // neither byte of a double-byte character ends a field
            continue;
        }
        if (c == ',') endField(p);
        ++p;
    }
    const bool cut = stop != end;
    if (!cut) endField(end);
    m_nStagedKept = fields;
    m_nStaged = cut ? fields + CountFields(start, end) : fields;
    m_nStagedBytes = static_cast<std::size_t>(out - row);
}

std::string_view RowStore::StagedField(std::size_t i) const {
    const char* p = FieldStart(StagedRow(), static_cast<int>(i));
    return Decode(p);
}

std::uint32_t RowStore::AppendStaged() {
    if (m_aRows.size() >= UINT32_MAX) throw std::length_error("too many rows in one table");
    // Positions the line did not reach hold "" without taking any room.
    char* const row = StagedRow();
    row[-1] = static_cast<char>(std::min(m_nStagedKept, static_cast<std::size_t>(m_nColumns)));
    Allocate(kCountSize + m_nStagedBytes);
    m_aRows.push_back(row);
    return static_cast<std::uint32_t>(m_aRows.size() - 1);
}

void RowStore::OverwriteWithStaged(std::uint32_t row) {
    // The staged fields lie in the free part of the arena, where the merged row
    // is about to be placed: they are copied aside first.
    m_aValues.clear();
    std::size_t total = 0;
    const char* p = FieldStart(StagedRow(), 0);
    for (std::size_t i = 0; i < m_nStagedKept; ++i) {
        m_aValues.push_back(Decode(p));
        total += m_aValues.back().size();
    }
    m_strScratch.clear();
    m_strScratch.reserve(total);
    for (std::string_view& value : m_aValues) {
        const char* const copy = m_strScratch.data() + m_strScratch.size();
        m_strScratch.append(value);
        value = std::string_view(copy, value.size());
    }
    // Positions the line did not reach keep their values; when its fields
    // were cut, the positions after the kept ones hold its values, not kept.
    // Positions left out of either line hold "" in the new row.
    const char* const previous = m_aRows[row];
    const bool gathered = m_nStagedKept == m_nStaged && GatherTail(previous, m_nStaged);
    m_aRows[row] =
        Place(m_aValues, m_bStagedLeftOut || (gathered && previous && LeftOut(previous)));
    m_cursor.row = UINT32_MAX;  // the row lies elsewhere now
}

bool RowStore::GatherTail(const char* previous, std::size_t from) {
    if (!previous) return false;
    const auto count = static_cast<std::size_t>(CountOf(previous));
    if (from >= count) return false;
    const char* p = FieldStart(previous, static_cast<int>(from));
    for (std::size_t i = from; i < count; ++i) {
        m_aValues.push_back(Decode(p));
    }
    return true;
}

const char* RowStore::Place(const std::vector<std::string_view>& values, bool leftOut) {
    const std::size_t count = std::min(values.size(), static_cast<std::size_t>(m_nColumns));
    std::size_t fieldBytes = 0;
    for (std::size_t i = 0; i < count; ++i) fieldBytes += EncodedSize(values[i]);
    const bool wide = HeaderSize(false) + fieldBytes > kNarrowLimit;
    const std::size_t size = HeaderSize(wide) + fieldBytes;
    if (size > UINT32_MAX) throw std::length_error("row too long");

    char* const row = Allocate(kCountSize + size) + kCountSize;
    row[-1] = static_cast<char>(count);
    if (m_nCheckpoints > 0) {
        row[0] = static_cast<char>((wide ? kWideRow : 0) | (leftOut ? kLeftOutRow : 0));
    }
    char* out = row + HeaderSize(wide);
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0 && i % kCheckpointStride == 0) {
            PutOffset(row, i / kCheckpointStride - 1, static_cast<std::size_t>(out - row), wide);
        }
        out = Encode(out, values[i]);
    }
    return row;
}

// Rows are never freed one by one, so the arena hands out memory from large
// blocks; a block never moves, so views into it stay valid.
void RowStore::Reserve(std::size_t size) {
    if (size <= m_nFree) return;
    const std::size_t blockSize = std::max(size, m_nNextBlock);
    m_aBlocks.push_back(std::make_unique_for_overwrite<char[]>(blockSize));
    m_pFree = m_aBlocks.back().get();
    m_nFree = blockSize;
    // A large table fills block after block: its pages are backed in one go.
    if (blockSize >= kPrefaultedBlock) platform::PrefaultForWriting(m_pFree, blockSize);
    m_nNextBlock = std::min(m_nNextBlock * 2, kLargestBlock);
}

char* RowStore::Allocate(std::size_t size) {
    Reserve(size);
    char* p = m_pFree;
    m_pFree += size;
    m_nFree -= size;
    return p;
}

}  // namespace kw39
