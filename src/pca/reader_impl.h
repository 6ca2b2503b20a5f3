// The loaded data of CPCAKyuuyo, shared by its loading and its lookups.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "pca/catalogue.h"
#include "pca/csv_fields.h"
#include "pca/reader.h"
#include "pca/row_index.h"
#include "pca/row_store.h"

namespace kw39 {

// The rows of one catalogued table. Rows keep the place where their key first
// appeared. Key columns lead the table, so a row's key is its first
// nKeyColumns values joined with "@".
struct TableRows {
    explicit TableRows(const PCATABLEINFO& table);

    // The row stored under a joined key, or kNoRow.
    std::uint32_t FindRow(std::string_view joinedKey) const;
    bool KeyEquals(std::uint32_t row, std::string_view joinedKey) const;

    const PCATABLEINFO* pInfo;
    RowStore rows;
    IdHashTable keys;  // keyed tables: row key -> row (ids are row indexes)
    RowGroups groups;  // tables with two or more key columns: first value -> rows
};

struct CPCAKyuuyo::Impl {
    Impl(platform::MessagePort& port, platform::FileSystem& fs);

    // The rows of a catalogued table, or nullptr.
    TableRows* FindTable(std::string_view code);
    const TableRows* FindTable(std::string_view code) const;

    bool ReadFile(const std::string& path);
    void StoreDataLine(const std::string& code, std::string_view line, const std::string& path,
                       std::size_t lineNumber);
    void SetLineData(const std::string& code, const CsvFields& fields);
    void StoreKeyed(TableRows& table, const CsvFields& fields);
    void BuildEmployeeList();

    platform::MessagePort& m_port;
    platform::FileSystem& m_fs;
    std::vector<TableRows> m_aTables;  // in catalogue order
    std::vector<std::string> m_aEmployeeCodes;
    std::vector<std::string_view> m_aSelectResult;
    std::string m_strCompanyName;
    CsvFields m_fields;  // reused for every line
    // Reused for every joined key; a reader is used from one thread only.
    mutable std::string m_strKeyScratch;
};

// Joins the first `count` values with "@" into `out`.
template <class Values>
void JoinKeyInto(const Values& values, std::size_t count, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) out.push_back('@');
        out.append(values[i]);
    }
}

std::size_t HashKey(std::string_view key);

}  // namespace kw39
