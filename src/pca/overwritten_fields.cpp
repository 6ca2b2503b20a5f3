// The report of the fields a later line of a key overwrites: which values the
// earlier lines held, read again from their files where the store did not
// keep them, and which of those lines each came from.
#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "pca/reader_impl.h"
#include "platform/io_error.h"
#include "platform/line_reader.h"
#include "platform/sjis.h"

namespace kw39 {

namespace {

// The fields of a line split as loading splits it, all of them kept.
class WholeLine {
  public:
    explicit WholeLine(int columns) : m_rows(columns) {}
    void Split(std::string_view line) { m_nCount = m_rows.StageLine(line, true); }
    std::string_view operator[](std::size_t i) const { return Field(i); }
    std::string_view Field(std::size_t i) const {
        return i < std::min(m_nCount, static_cast<std::size_t>(m_rows.Columns()))
                   ? m_rows.StagedField(i)
                   : std::string_view();
    }

  private:
    RowStore m_rows;
    std::size_t m_nCount = 0;
};

// An earlier line of a key read again, for a value the store did not keep.
class EarlierLine {
  public:
    std::string_view Field(const TableRows::Source& from, std::size_t i, const PCATABLEINFO& info,
                           std::string_view key, LineRereader* lines) {
        // Only a line that could be read again is stored cut.
        if (!lines || from.nLine == 0 || !lines->Has(from.nFile)) {
            throw std::logic_error("a value that was not kept cannot be read again");
        }
        if (!m_line || m_source.nFile != from.nFile || m_source.nOffset != from.nOffset) {
            m_line.emplace(info.nColumns).Split(lines->Line(from.nFile, from.nOffset));
            m_source = from;
            // The line read again must be the one stored, with this key.
            std::string joined;
            JoinKeyInto(*m_line, static_cast<std::size_t>(info.nKeyColumns), joined);
            if (joined != key) throw platform::InputChangedError(lines->PathOf(from.nFile));
        }
        return m_line->Field(i);
    }

  private:
    std::optional<WholeLine> m_line;
    TableRows::Source m_source;
};

// The line a row's value at field `i` came from: the latest of its lines that
// reached the field (the first when none did). Found for every field at once,
// in one walk over the lines, as a key may have very many.
TableRows::Source OriginAt(const TableRows::Source& first,
                           const std::vector<TableRows::Source>* later, std::size_t columns,
                           std::size_t i, std::vector<TableRows::Source>& origins) {
    if (origins.empty()) {
        origins.assign(columns, first);
        std::size_t reach = 0;
        const auto take = [&](const TableRows::Source& line) {
            for (; reach < std::min<std::size_t>(line.nFields, columns); ++reach) {
                origins[reach] = line;
            }
        };
        if (later) {
            for (auto it = later->rbegin(); it != later->rend(); ++it) take(*it);
        }
        take(first);
    }
    return origins[i];
}

}  // namespace

void ReportOverwrites(const TableRows& table, std::uint32_t row, std::string_view key,
                      std::string_view line, const TableRows::Source& source,
                      const std::vector<std::string>& paths, ReadListener& listener,
                      LineRereader* lines) {
    const PCATABLEINFO& info = *table.pInfo;
    const std::size_t staged =
        std::min(table.rows.StagedCount(), static_cast<std::size_t>(info.nColumns));
    const bool perEmployee = IsEmployeeTable(info);
    const TableRows::Source first =
        row < table.sources.size() ? table.sources[row] : TableRows::Source{};
    const auto later = table.laterSources.find(row);
    // The fields some earlier line of the key held; a row loaded before the
    // listener was set may have held any.
    std::size_t held = first.nLine == 0 ? static_cast<std::size_t>(info.nColumns) : first.nFields;
    if (later != table.laterSources.end()) {
        for (const TableRows::Source& other : later->second) {
            held = std::max<std::size_t>(held, other.nFields);
        }
    }
    std::vector<TableRows::Source> origins;  // per field, found when first needed
    // The values the store did not keep: this line's, and an earlier line's.
    std::optional<WholeLine> whole;
    EarlierLine earlier;
    for (std::size_t i = 0; i < std::min(staged, held); ++i) {
        const int column = static_cast<int>(i);
        std::string_view kept;
        if (table.rows.StagedHolds(i)) {
            kept = table.rows.StagedField(i);
        } else {
            if (!whole) whole.emplace(info.nColumns).Split(line);
            kept = whole->Field(i);
        }
        std::optional<TableRows::Source> from;
        const auto origin = [&] {
            return OriginAt(first, later == table.laterSources.end() ? nullptr : &later->second,
                            static_cast<std::size_t>(info.nColumns), i, origins);
        };
        std::string_view replaced;
        if (table.rows.HoldsField(row, column)) {
            replaced = table.rows.HeldField(row, column);
        } else if (from = origin(); from->nFields > i) {
            replaced = earlier.Field(*from, i, info, key, lines);
        }
        if (kept == replaced) continue;
        if (!from) from = origin();
        listener.Noted(OverwrittenField{info.strCode, key,
                                        perEmployee ? table.rows.Field(row, 0) : std::string_view(),
                                        info.aColumns[i].pszName, kept, replaced,
                                        OriginIn(paths, source), OriginIn(paths, *from)});
    }
}

void LineRereader::Add(std::uint32_t file, const platform::InputFile& input,
                       const std::string& path) {
    if (file >= m_aFiles.size()) m_aFiles.resize(file + 1);
    m_aFiles[file] = {&input, path};
}

std::string_view LineRereader::Line(std::uint32_t file, std::uint64_t offset) {
    const Entry& entry = m_aFiles[file];
    const std::unique_ptr<platform::InputFile> part = entry.input->ReadAt(offset);
    if (!part) throw platform::ReadError(entry.path);
    // Lines are short: a small first read.
    platform::LineReader reader(*part, 4096);
    std::string_view raw;
    if (!reader.Next(raw)) throw platform::InputChangedError(entry.path);
    m_strLine.assign(platform::TrimTrailingBlanks(raw));
    return m_strLine;
}

}  // namespace kw39
