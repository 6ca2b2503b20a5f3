// The lookups of the converters on the loaded tables of CPCAKyuuyo.
#include <algorithm>
#include <array>

#include "pca/reader.h"
#include "pca/reader_impl.h"
#include "platform/messages.h"

namespace kw39 {

namespace {

// The one shape of selection the conversion makes for every employee: one
// condition on the first key column. It is answered from the row groups
// instead of a walk over the whole table, with the same rows in the same order.
bool IsFirstKeySelection(const PCATABLEINFO& table, const std::vector<int>& conditionColumns) {
    return table.nKeyColumns >= 1 && conditionColumns.size() == 1 && conditionColumns[0] == 0;
}

// The table of a column resolved once; null for an unresolved one.
const TableRows* TableOf(const std::vector<TableRows>& tables, const PcaColumn& column) {
    if (column.nTable < 0 || static_cast<std::size_t>(column.nTable) >= tables.size()) {
        return nullptr;
    }
    return &tables[static_cast<std::size_t>(column.nTable)];
}

// The rows of a keyed table whose first key value is `value`, in row order,
// into `rows`, found with the cursors of `lookup`.
void RowsByFirstKey(const TableRows& table, std::string_view value,
                    CPCAKyuuyo::SharedLookup& lookup, std::vector<std::uint32_t>& rows) {
    rows.clear();
    if (table.pInfo->nKeyColumns == 1) {
        const std::uint32_t row = table.SharedFindRow(value, lookup.row);
        if (row != kNoRow) rows.push_back(row);
        return;
    }
    const RowGroups& groups = table.Groups();
    for (std::uint32_t row = groups.FirstFrom(value, lookup.group); row != kNoRow;
         row = groups.Next(row)) {
        rows.push_back(row);
    }
}

// Whether `keys` can name a row of the table: one value, none empty, per key
// column.
bool KeysFit(const TableRows& table, std::initializer_list<std::string_view> keys) {
    return keys.size() == static_cast<std::size_t>(table.pInfo->nKeyColumns) &&
           std::none_of(keys.begin(), keys.end(), [](std::string_view k) { return k.empty(); });
}

}  // namespace

std::uint32_t CPCAKyuuyo::Impl::LookupRow(const TableRows& table,
                                          std::initializer_list<std::string_view> keys) const {
    if (!KeysFit(table, keys)) return kNoRow;
    if (table.pInfo->nKeyColumns == 0) return 0;
    return table.FindRow(keys, m_strKeyScratch);
}

std::string_view CPCAKyuuyo::Impl::Lookup(const TableRows& table,
                                          std::initializer_list<std::string_view> keys,
                                          int position) const {
    if (position < 0) return {};
    const std::uint32_t row = LookupRow(table, keys);
    return row == kNoRow ? std::string_view() : table.rows.Field(row, position);
}

std::size_t CPCAKyuuyo::FindRowOf(const PcaColumn& column,
                                  std::initializer_list<std::string_view> keys) const {
    const TableRows* table = TableOf(m_pImpl->m_aTables, column);
    return table ? m_pImpl->LookupRow(*table, keys) : kNoRow;
}

std::string_view CPCAKyuuyo::GetValue(int nKind, std::string_view table,
                                      std::initializer_list<std::string_view> keys,
                                      std::string_view column) const {
    const TableRows* rows = m_pImpl->FindTable(table);
    if (!rows) return {};
    return m_pImpl->Lookup(*rows, keys, rows->pInfo->FindColumn(nKind, column));
}

std::string_view CPCAKyuuyo::GetValue(const PcaColumn& column,
                                      std::initializer_list<std::string_view> keys) const {
    const TableRows* table = TableOf(m_pImpl->m_aTables, column);
    return table ? m_pImpl->Lookup(*table, keys, column.nColumn) : std::string_view();
}

const std::vector<std::string_view>& CPCAKyuuyo::Select(const PCASELECT& request) {
    std::vector<std::string_view>& result = m_pImpl->m_aSelectResult;
    result.clear();
    // Every caller names a catalogued table; any other code selects nothing.
    const TableRows* rows = m_pImpl->FindTable(request.strTable);
    if (!rows) return result;
    const PCATABLEINFO& info = *rows->pInfo;
    const int column = info.FindColumn(kLookupName, request.strColumn);
    if (column < 0) {
        m_pImpl->m_log.Add(platform::MakeMessage(platform::MessageId::ColumnUnknown,
                                                 platform::MessageStyle::Warning,
                                                 {request.strColumn}));
        return result;
    }
    // A condition whose column the table lacks never holds.
    std::vector<int> conditionColumns;
    conditionColumns.reserve(request.aConditions.size());
    for (const ROW_ITEM& condition : request.aConditions) {
        conditionColumns.push_back(info.FindColumn(kLookupName, condition.strColumn));
    }

    if (IsFirstKeySelection(info, conditionColumns)) {
        // With one condition, "all hold" and "any holds" are the same test.
        m_pImpl->SelectByFirstKey(*rows, column, request.aConditions[0].strValue);
        return result;
    }

    const std::size_t wanted = request.aConditions.size();
    for (std::uint32_t row = 0; row < rows->rows.Size(); ++row) {
        std::size_t held = 0;
        for (std::size_t i = 0; i < wanted; ++i) {
            const int at = conditionColumns[i];
            if (at >= 0 && rows->rows.Field(row, at) == request.aConditions[i].strValue) ++held;
        }
        const bool selected = request.bMatchAll == 1 ? held == wanted : held > 0;
        if (selected) result.push_back(rows->rows.Field(row, column));
    }
    return result;
}

void CPCAKyuuyo::Impl::SelectRowsByFirstKey(const TableRows& table, std::string_view value) {
    RowsByFirstKey(table, value, table.selection, m_aSelectRows);
}

void CPCAKyuuyo::Impl::SelectByFirstKey(const TableRows& table, int column,
                                        std::string_view value) {
    SelectRowsByFirstKey(table, value);
    m_aSelectResult.clear();
    for (const std::uint32_t row : m_aSelectRows) {
        m_aSelectResult.push_back(table.rows.Field(row, column));
    }
}

const std::vector<std::string_view>& CPCAKyuuyo::SelectByFirstKey(const PcaColumn& column,
                                                                  std::string_view value) {
    std::vector<std::string_view>& result = m_pImpl->m_aSelectResult;
    result.clear();
    const TableRows* table = TableOf(m_pImpl->m_aTables, column);
    if (!table || column.nColumn < 0 || table->pInfo->nKeyColumns == 0) return result;
    m_pImpl->SelectByFirstKey(*table, column.nColumn, value);
    return result;
}

const std::vector<std::uint32_t>& CPCAKyuuyo::SelectRowsByFirstKey(const PcaColumn& column,
                                                                   std::string_view value) {
    std::vector<std::uint32_t>& rows = m_pImpl->m_aSelectRows;
    rows.clear();
    const TableRows* table = TableOf(m_pImpl->m_aTables, column);
    if (!table || table->pInfo->nKeyColumns == 0) return rows;
    m_pImpl->SelectRowsByFirstKey(*table, value);
    return rows;
}

const std::vector<std::string>& CPCAKyuuyo::GetEmployeeCodes() const {
    return m_pImpl->m_aEmployeeCodes;
}

std::string CPCAKyuuyo::GetCompanyName() const { return m_pImpl->m_strCompanyName; }

std::size_t CPCAKyuuyo::RowCount(std::string_view table) const {
    const TableRows* rows = m_pImpl->FindTable(table);
    return rows ? rows->rows.Size() : 0;
}

bool CPCAKyuuyo::SectionRead(std::string_view table) const {
    const TableRows* rows = m_pImpl->FindTable(table);
    return rows && rows->bSectionRead;
}

void CPCAKyuuyo::ForEachFirstValueRun(
    std::string_view table,
    const std::function<void(std::string_view, std::size_t, std::size_t)>& visit) const {
    const TableRows* rows = m_pImpl->FindTable(table);
    if (!rows) return;
    const RowStore& store = rows->rows;
    const auto count = static_cast<std::uint32_t>(store.Size());
    std::uint32_t first = 0;
    // The first column is always kept.
    std::string_view value = count > 0 ? store.HeldField(0, 0) : std::string_view();
    for (std::uint32_t row = 1; row < count; ++row) {
        const std::string_view next = store.HeldField(row, 0);
        if (next == value) continue;
        visit(value, first, row - first);
        value = next;
        first = row;
    }
    if (count > 0) visit(value, first, count - first);
}

namespace {

// The rows of the table of `column`, when the row and the column lie in it.
const RowStore* RowsOf(const std::vector<TableRows>& tables, const PcaColumn& column,
                       std::size_t row) {
    const TableRows* table = TableOf(tables, column);
    if (!table || row >= table->rows.Size() || column.nColumn < 0 ||
        column.nColumn >= table->pInfo->nColumns) {
        return nullptr;
    }
    return &table->rows;
}

}  // namespace

std::string_view CPCAKyuuyo::RowValue(const PcaColumn& column, std::size_t row) const {
    const RowStore* rows = RowsOf(m_pImpl->m_aTables, column, row);
    return rows ? rows->Field(static_cast<std::uint32_t>(row), column.nColumn) : std::string_view();
}

std::string_view CPCAKyuuyo::SharedRowValue(const PcaColumn& column, std::size_t row) const {
    const RowStore* rows = RowsOf(m_pImpl->m_aTables, column, row);
    return rows ? rows->SharedField(static_cast<std::uint32_t>(row), column.nColumn)
                : std::string_view();
}

bool CPCAKyuuyo::SharedHasRow(const PcaColumn& column, std::string_view code, std::string_view key2,
                              SharedLookup& lookup) const {
    const TableRows* rows = TableOf(m_pImpl->m_aTables, column);
    if (!rows || rows->pInfo->nKeyColumns != 2) return false;
    return SharedFindRowOf(column, {code, key2}, lookup) != kNoRow;
}

void CPCAKyuuyo::SharedRowsByFirstKey(const PcaColumn& column, std::string_view value,
                                      SharedLookup& lookup,
                                      std::vector<std::uint32_t>& rows) const {
    rows.clear();
    const TableRows* table = TableOf(m_pImpl->m_aTables, column);
    if (table && table->pInfo->nKeyColumns > 0) RowsByFirstKey(*table, value, lookup, rows);
}

std::size_t CPCAKyuuyo::SharedFindRowOf(const PcaColumn& column,
                                        std::initializer_list<std::string_view> keys,
                                        SharedLookup& lookup) const {
    const TableRows* table = TableOf(m_pImpl->m_aTables, column);
    if (!table || !KeysFit(*table, keys)) return kNoRow;
    if (table->pInfo->nKeyColumns == 0) return 0;
    // The row after the one found last, and that one, by their values first.
    if (const std::uint32_t near = table->NearRowOfValues(lookup.row, keys); near != kNoRow) {
        return lookup.row = near;
    }
    JoinKeyInto(keys.begin(), keys.size(), lookup.joined);
    return table->SharedFindRow(lookup.joined, lookup.row);
}

std::string_view CPCAKyuuyo::SharedRowValue(const PcaColumn& column, std::size_t row,
                                            SharedLookup& lookup) const {
    const RowStore* rows = RowsOf(m_pImpl->m_aTables, column, row);
    return rows ? rows->FieldFrom(static_cast<std::uint32_t>(row), column.nColumn, lookup.field)
                : std::string_view();
}

void CPCAKyuuyo::GroupRows(const PcaColumn& column) const {
    const TableRows* table = TableOf(m_pImpl->m_aTables, column);
    if (table && table->pInfo->nKeyColumns >= 2) table->Groups();
}

LineOrigin CPCAKyuuyo::RowOrigin(std::string_view table, std::size_t row) const {
    const TableRows* rows = m_pImpl->FindTable(table);
    if (!rows || row >= rows->sources.size()) return {};
    return m_pImpl->OriginOf(rows->sources[row]);
}

LineOrigin CPCAKyuuyo::RowOrigin(std::string_view table,
                                 std::initializer_list<std::string_view> keys) const {
    const TableRows* rows = m_pImpl->FindTable(table);
    if (!rows || keys.size() != static_cast<std::size_t>(rows->pInfo->nKeyColumns) ||
        rows->pInfo->nKeyColumns == 0) {
        return {};
    }
    const std::uint32_t row = rows->FindRow(keys, m_pImpl->m_strKeyScratch);
    return row == kNoRow ? LineOrigin() : RowOrigin(table, row);
}

}  // namespace kw39
