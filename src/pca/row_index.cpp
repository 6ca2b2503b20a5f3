#include "pca/row_index.h"

#include <functional>
#include <stdexcept>

namespace kw39 {

namespace {
constexpr std::size_t kFirstCapacity = 16;
}

std::uint32_t IdHashTable::Insert(std::size_t hash) {
    if (m_nCount >= UINT32_MAX - 1) throw std::length_error("too many rows in one table");
    // At most three quarters of the slots are used; probe runs stay short and
    // mostly within one cache line.
    if ((std::size_t{m_nCount} + 1) * 4 > m_aSlots.size() * 3) Grow();
    const std::uint32_t id = m_nCount++;
    Place(Slot{id + 1, static_cast<std::uint32_t>(hash)});
    return id;
}

void IdHashTable::Place(Slot entry) {
    const std::size_t mask = m_aSlots.size() - 1;
    std::size_t slot = entry.nHash & mask;
    while (m_aSlots[slot].nId != 0) slot = (slot + 1) & mask;
    m_aSlots[slot] = entry;
}

void IdHashTable::Grow() { Rehash(m_aSlots.empty() ? kFirstCapacity : m_aSlots.size() * 2); }

void IdHashTable::Reserve(std::size_t count) {
    std::size_t slots = m_aSlots.empty() ? kFirstCapacity : m_aSlots.size();
    while (count * 4 > slots * 3) slots *= 2;
    if (slots > m_aSlots.size()) Rehash(slots);
}

// Moves every entry into a table of `slots` slots (a power of two), by its
// stored hash.
void IdHashTable::Rehash(std::size_t slots) {
    std::vector<Slot> old(slots);
    old.swap(m_aSlots);
    for (const Slot& entry : old) {
        if (entry.nId != 0) Place(entry);
    }
}

std::uint32_t RowGroups::FindGroup(std::string_view value, std::size_t hash) const {
    return m_index.Find(hash, [&](std::uint32_t group) { return m_aGroups[group].value == value; });
}

std::uint32_t RowGroups::FindOrAddGroup(std::string_view value) {
    // Rows of one group mostly come one after the other.
    if (m_nLastGroup != kNoRow && m_aGroups[m_nLastGroup].value == value) return m_nLastGroup;
    m_nLastGroup = FindOrAddGroupHashed(value);
    return m_nLastGroup;
}

std::uint32_t RowGroups::FindOrAddGroupHashed(std::string_view value) {
    const std::size_t hash = std::hash<std::string_view>{}(value);
    const std::uint32_t found = FindGroup(value, hash);
    if (found != kNoRow) return found;
    m_aGroups.push_back(Group{value});
    return m_index.Insert(hash);
}

void RowGroups::Add(std::uint32_t row, std::string_view value) {
    const std::uint32_t group = FindOrAddGroup(value);
    m_aNext.push_back(kNoRow);
    m_aGroupOf.push_back(group);
    // The newest row has the highest index, so it belongs at the end.
    Group& g = m_aGroups[group];
    if (g.nLast == kNoRow) {
        g.nFirst = row;
    } else {
        m_aNext[g.nLast] = row;
    }
    g.nLast = row;
}

void RowGroups::Move(std::uint32_t row, std::string_view value) {
    const std::uint32_t group = FindOrAddGroup(value);
    if (group == m_aGroupOf[row]) return;
    Unlink(row);
    LinkInOrder(row, group);
}

std::uint32_t RowGroups::FirstFrom(std::string_view value, std::uint32_t& cursor) const {
    // Groups are asked for in about the order in which they were added (one
    // employee after the other): the last group found and the one after it are
    // tried before the hash.
    std::uint32_t group = kNoRow;
    if (cursor < m_aGroups.size() && m_aGroups[cursor].value == value) {
        group = cursor;
    } else if (cursor + 1 < m_aGroups.size() && m_aGroups[cursor + 1].value == value) {
        group = cursor + 1;
    } else {
        group = FindGroup(value, std::hash<std::string_view>{}(value));
    }
    if (group == kNoRow) return kNoRow;
    cursor = group;
    return m_aGroups[group].nFirst;
}

void RowGroups::Unlink(std::uint32_t row) {
    Group& g = m_aGroups[m_aGroupOf[row]];
    std::uint32_t previous = kNoRow;
    for (std::uint32_t r = g.nFirst; r != row; r = m_aNext[r]) previous = r;
    if (previous == kNoRow) {
        g.nFirst = m_aNext[row];
    } else {
        m_aNext[previous] = m_aNext[row];
    }
    if (g.nLast == row) g.nLast = previous;
    m_aNext[row] = kNoRow;
}

void RowGroups::LinkInOrder(std::uint32_t row, std::uint32_t group) {
    m_aGroupOf[row] = group;
    Group& g = m_aGroups[group];
    std::uint32_t previous = kNoRow;
    std::uint32_t next = g.nFirst;
    while (next != kNoRow && next < row) {
        previous = next;
        next = m_aNext[next];
    }
    m_aNext[row] = next;
    if (previous == kNoRow) {
        g.nFirst = row;
    } else {
        m_aNext[previous] = row;
    }
    if (next == kNoRow) g.nLast = row;
}

}  // namespace kw39
