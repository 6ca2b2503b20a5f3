#include "pca/row_index.h"

#include <functional>
#include <stdexcept>

namespace kw39 {

namespace {
constexpr std::size_t kFirstCapacity = 16;
}

std::uint32_t IdHashTable::Insert(std::size_t hash) {
    if (m_aHashes.size() >= UINT32_MAX - 1) throw std::length_error("too many rows in one table");
    const auto id = static_cast<std::uint32_t>(m_aHashes.size());
    const auto shortHash = static_cast<std::uint32_t>(hash);
    m_aHashes.push_back(shortHash);
    // At most half the slots are used, which keeps probe runs short.
    if (m_aHashes.size() * 2 > m_aSlots.size()) {
        Grow();
    } else {
        Place(id, shortHash);
    }
    return id;
}

void IdHashTable::Place(std::uint32_t id, std::uint32_t hash) {
    const std::size_t mask = m_aSlots.size() - 1;
    std::size_t slot = hash & mask;
    while (m_aSlots[slot] != 0) slot = (slot + 1) & mask;
    m_aSlots[slot] = id + 1;
}

// Rehashes every id from its stored hash.
void IdHashTable::Grow() {
    const std::size_t capacity = m_aSlots.empty() ? kFirstCapacity : m_aSlots.size() * 2;
    m_aSlots.assign(capacity, 0);
    for (std::uint32_t id = 0; id < m_aHashes.size(); ++id) Place(id, m_aHashes[id]);
}

std::uint32_t RowGroups::FindGroup(std::string_view value, std::size_t hash) const {
    return m_index.Find(hash,
                        [&](std::uint32_t group) { return m_aGroups[group].strValue == value; });
}

std::uint32_t RowGroups::FindOrAddGroup(std::string_view value) {
    const std::size_t hash = std::hash<std::string_view>{}(value);
    const std::uint32_t found = FindGroup(value, hash);
    if (found != kNoRow) return found;
    m_aGroups.push_back(Group{std::string(value)});
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

std::uint32_t RowGroups::First(std::string_view value) const {
    const std::uint32_t group = FindGroup(value, std::hash<std::string_view>{}(value));
    return group == kNoRow ? kNoRow : m_aGroups[group].nFirst;
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
