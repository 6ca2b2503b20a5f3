// Loading of the PCA export files into the tables of CPCAKyuuyo.
#include "pca/reader.h"

#include <algorithm>
#include <functional>

#include "pca/data_line_error.h"
#include "pca/header_line.h"
#include "pca/reader_impl.h"
#include "platform/line_reader.h"
#include "platform/sjis.h"

namespace kw39 {

namespace {

const char kCompanyTable[] = "10000";
const char kEmployeeTable[] = "10601";

std::string TooManyFields(const std::string& code, std::size_t fields, int columns) {
    return "[" + code + "] の項目数 " + std::to_string(fields) + " が列数 " +
           std::to_string(columns) + " を超えています。";
}

std::string TooFewKeyFields(const std::string& code, std::size_t fields, int keys) {
    return "[" + code + "] の項目数 " + std::to_string(fields) + " がキー列数 " +
           std::to_string(keys) + " に足りません。";
}

std::string NoCompanyName(std::size_t fields) {
    return "[10000] の項目数 " + std::to_string(fields) + " では会社名（2 項目目）がありません。";
}

}  // namespace

std::size_t HashKey(std::string_view key) { return std::hash<std::string_view>{}(key); }

TableRows::TableRows(const PCATABLEINFO& table) : pInfo(&table), rows(table.nColumns) {}

bool TableRows::KeyEquals(std::uint32_t row, std::string_view joinedKey) const {
    std::size_t pos = 0;
    for (int i = 0; i < pInfo->nKeyColumns; ++i) {
        if (i > 0) {
            if (pos >= joinedKey.size() || joinedKey[pos] != '@') return false;
            ++pos;
        }
        const std::string_view value = rows.Field(row, i);
        if (joinedKey.substr(pos, value.size()) != value) return false;
        pos += value.size();
    }
    return pos == joinedKey.size();
}

std::uint32_t TableRows::FindRow(std::string_view joinedKey) const {
    return keys.Find(HashKey(joinedKey),
                     [&](std::uint32_t row) { return KeyEquals(row, joinedKey); });
}

CPCAKyuuyo::Impl::Impl(platform::MessagePort& port, platform::FileSystem& fs)
    : m_port(port), m_fs(fs) {
    const std::vector<PCATABLEINFO>& catalogue = PcaCatalogue();
    m_aTables.reserve(catalogue.size());
    for (const PCATABLEINFO& table : catalogue) {
        TableRows& rows = m_aTables.emplace_back(table);
        // A table without key columns holds exactly one row from the start.
        if (table.nKeyColumns == 0) rows.rows.Append(CsvFields());
    }
}

TableRows* CPCAKyuuyo::Impl::FindTable(std::string_view code) {
    const int index = PcaTableIndex(code);
    if (index < 0 || static_cast<std::size_t>(index) >= m_aTables.size()) return nullptr;
    return &m_aTables[static_cast<std::size_t>(index)];
}

const TableRows* CPCAKyuuyo::Impl::FindTable(std::string_view code) const {
    return const_cast<Impl*>(this)->FindTable(code);
}

bool CPCAKyuuyo::Impl::ReadFile(const std::string& path) {
    if (!m_fs.Stat(path)) {
        m_port.ShowMessage("ファイルが存在しません。", platform::MessageStyle::Warning);
        return false;
    }
    const std::unique_ptr<platform::InputFile> file = m_fs.OpenRead(path);
    if (!file) return false;

    platform::LineReader reader(*file);
    std::string code;     // code of the current section
    bool active = false;  // the current section is a catalogued table
    std::string_view raw;
    while (reader.Next(raw)) {
        const std::string_view line = platform::TrimTrailingBlanks(raw);
        if (line.empty()) continue;
        if (IsHeaderLine(line)) {
            code = HeaderTableCode(line);
            active = PcaTableIndex(code) >= 0;
            continue;
        }
        if (active) StoreDataLine(code, line, path, reader.LineNumber());
    }
    return true;
}

// Checks the line completely before anything is stored, so that a malformed
// line changes nothing.
void CPCAKyuuyo::Impl::StoreDataLine(const std::string& code, std::string_view line,
                                     const std::string& path, std::size_t lineNumber) {
    SplitCsvFields(line, m_fields);
    const PCATABLEINFO& table = *FindPcaTable(code);
    const std::size_t count = m_fields.size();
    const bool company = code == kCompanyTable;
    if (company && count < 2) throw DataLineError(path, lineNumber, NoCompanyName(count));
    if (count > static_cast<std::size_t>(table.nColumns)) {
        throw DataLineError(path, lineNumber, TooManyFields(code, count, table.nColumns));
    }
    if (count < static_cast<std::size_t>(table.nKeyColumns)) {
        throw DataLineError(path, lineNumber, TooFewKeyFields(code, count, table.nKeyColumns));
    }
    if (company) m_strCompanyName = m_fields[1];
    SetLineData(code, m_fields);
}

void CPCAKyuuyo::Impl::SetLineData(const std::string& code, const CsvFields& fields) {
    TableRows* table = FindTable(code);
    if (!table) {
        m_port.ShowMessage("PROGARAM ERROR\n[_SetLineData]", platform::MessageStyle::Warning);
        return;
    }
    if (table->pInfo->nKeyColumns == 0) {
        table->rows.Overwrite(0, fields);
    } else {
        StoreKeyed(*table, fields);
    }
}

// A new key appends a row; a known key is overwritten field by field, positions
// beyond the line keeping their values, and the row keeps its place.
void CPCAKyuuyo::Impl::StoreKeyed(TableRows& table, const CsvFields& fields) {
    const int keyCount = table.pInfo->nKeyColumns;
    JoinKeyInto(fields, static_cast<std::size_t>(keyCount), m_strKeyScratch);
    const std::size_t hash = HashKey(m_strKeyScratch);
    const std::uint32_t found = table.keys.Find(
        hash, [&](std::uint32_t row) { return table.KeyEquals(row, m_strKeyScratch); });
    if (found == kNoRow) {
        const std::uint32_t row = table.rows.Append(fields);
        table.keys.Insert(hash);  // ids follow the rows one to one
        if (keyCount >= 2) table.groups.Add(row, fields[0]);
        return;
    }
    // Keys joined with "@" can match while the first value differs ("a@b","c"
    // and "a","b@c"); the row then moves to the group of its new first value.
    const std::string_view oldFirst = table.rows.Field(found, 0);
    table.rows.Overwrite(found, fields);
    if (keyCount >= 2 && oldFirst != fields[0]) table.groups.Move(found, fields[0]);
}

void CPCAKyuuyo::Impl::BuildEmployeeList() {
    m_aEmployeeCodes.clear();
    const TableRows& employees = *FindTable(kEmployeeTable);
    m_aEmployeeCodes.reserve(employees.rows.Size());
    for (std::uint32_t row = 0; row < employees.rows.Size(); ++row) {
        m_aEmployeeCodes.emplace_back(employees.rows.Field(row, 0));
    }
}

CPCAKyuuyo::CPCAKyuuyo(platform::MessagePort& port, platform::FileSystem& fs)
    : m_pImpl(std::make_unique<Impl>(port, fs)) {}

CPCAKyuuyo::~CPCAKyuuyo() = default;

bool CPCAKyuuyo::ReadDataFiles(const std::vector<std::string>& paths, int count) {
    const std::size_t files =
        count < 1 ? 0 : std::min(static_cast<std::size_t>(count), paths.size());
    for (std::size_t i = 0; i < files; ++i) {
        if (!m_pImpl->ReadFile(paths[i])) return false;
    }
    m_pImpl->BuildEmployeeList();
    return true;
}

}  // namespace kw39
