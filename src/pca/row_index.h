// Hashed indexes over the rows of a table that store no texts of their own: the
// row key and the first key value are read back from the rows when compared.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kw39 {

inline constexpr std::uint32_t kNoRow = UINT32_MAX;

// Open-addressing hash table of dense 32-bit ids (0, 1, 2, ... in order of
// insertion). The caller supplies the hash of a text and a test that tells
// whether an id stands for that text. Each slot holds the id with its hash, so
// that a lookup in a large table usually costs one cache miss.
class IdHashTable {
  public:
    // The id whose text matches, or kNoRow.
    template <class Matches>
    std::uint32_t Find(std::size_t hash, Matches matches) const {
        if (m_aSlots.empty()) return kNoRow;
        const std::uint32_t shortHash = static_cast<std::uint32_t>(hash);
        const std::size_t mask = m_aSlots.size() - 1;
        for (std::size_t slot = shortHash & mask;; slot = (slot + 1) & mask) {
            const Slot& entry = m_aSlots[slot];
            if (entry.nId == 0) return kNoRow;
            if (entry.nHash == shortHash && matches(entry.nId - 1)) return entry.nId - 1;
        }
    }

    // Starts to bring the first slot of `hash` into the cache, so that a Find
    // or Insert of it soon after does not wait for memory.
    void Prefetch(std::size_t hash) const {
#if defined(__GNUC__)
        if (!m_aSlots.empty()) {
            __builtin_prefetch(&m_aSlots[static_cast<std::uint32_t>(hash) & (m_aSlots.size() - 1)]);
        }
#else
        static_cast<void>(hash);
#endif
    }

    // Adds the next id (the number of ids added so far) under `hash`.
    std::uint32_t Insert(std::size_t hash);
    // Makes room for `count` ids in all without growing again.
    void Reserve(std::size_t count);

  private:
    struct Slot {
        std::uint32_t nId = 0;  // id + 1; 0 for a free slot
        std::uint32_t nHash = 0;
    };
    void Place(Slot entry);
    void Grow();
    void Rehash(std::size_t slots);

    std::vector<Slot> m_aSlots;
    std::uint32_t m_nCount = 0;
};

// The rows of a table grouped by the value of their first column, each group in
// row order; lets a selection of one employee's rows skip the rest of the table.
// The groups keep views of the values they are given (the reader's values stay
// in place for the life of its tables), not copies.
class RowGroups {
  public:
    // Adds the newest row (its index is the number of rows added so far).
    // `value` must stay valid as long as the groups.
    void Add(std::uint32_t row, std::string_view value);
    // Moves an existing row whose first value changed to the group of `value`,
    // which must stay valid as long as the groups.
    void Move(std::uint32_t row, std::string_view value);

    // First row whose first value is `value`, and the row after `row` in its
    // group; kNoRow at the end. `cursor` (the group found last, starting at 0)
    // is the caller's own, so that several threads may read the groups at once.
    std::uint32_t FirstFrom(std::string_view value, std::uint32_t& cursor) const;
    std::uint32_t Next(std::uint32_t row) const { return m_aNext[row]; }

  private:
    struct Group {
        std::string_view value;
        std::uint32_t nFirst = kNoRow;
        std::uint32_t nLast = kNoRow;  // so that appending a row costs nothing
    };
    std::uint32_t FindGroup(std::string_view value, std::size_t hash) const;
    std::uint32_t FindOrAddGroup(std::string_view value);
    std::uint32_t FindOrAddGroupHashed(std::string_view value);
    void Unlink(std::uint32_t row);
    void LinkInOrder(std::uint32_t row, std::uint32_t group);

    std::vector<Group> m_aGroups;
    IdHashTable m_index;
    std::vector<std::uint32_t> m_aNext;     // next row of the same group
    std::vector<std::uint32_t> m_aGroupOf;  // group of every row
    std::uint32_t m_nLastGroup = kNoRow;    // the group found or added last
};

}  // namespace kw39
