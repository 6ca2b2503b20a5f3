// The loaded data of CPCAKyuuyo, shared by its loading and its lookups.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "pca/catalogue.h"
#include "pca/reader.h"
#include "pca/row_index.h"
#include "pca/row_store.h"
#include "pca/section_aside.h"
#include "pca/section_mark.h"

namespace kw39 {

// The rows of one catalogued table. Rows keep the place where their key first
// appeared. Key columns lead the table, so a row's key is its first
// nKeyColumns values joined with "@".
struct TableRows {
    explicit TableRows(const PCATABLEINFO& table);

    // The row stored under a joined key, or kNoRow. The conversion asks for the
    // same key many times in a row (every value of one employee), so the last
    // answer is kept until a new key is added; and it asks for rows in about
    // the order of the file, so the row after the last one found is tried
    // before the hash.
    std::uint32_t FindRow(std::string_view joinedKey) const;
    // The same for the key values, joined only when the answer is not the last.
    std::uint32_t FindRow(std::initializer_list<std::string_view> keys,
                          std::string& joinScratch) const;
    // The row stored under a joined key, found without keeping anything in
    // the table: may be asked on a second thread while another reads it.
    // `near` is the row the caller found last (kNoRow: none); the row after
    // it is tried before the hash, and the row found is kept there.
    std::uint32_t SharedFindRow(std::string_view joinedKey, std::uint32_t& near) const;
    // Reads the key fields without keeping where they were found.
    bool KeyEquals(std::uint32_t row, std::string_view joinedKey) const;
    // Whether the key fields of `row` are `keys`, one by one.
    bool ValuesAreKey(std::uint32_t row, std::initializer_list<std::string_view> keys) const;
    // Asked in the order of the file, the key is mostly that of the row after
    // the one found last (`near`), or of that row again: the one of the two
    // whose key fields are `keys` (values equal one by one make the same
    // joined key, which names one row), or kNoRow.
    std::uint32_t NearRowOfValues(std::uint32_t near,
                                  std::initializer_list<std::string_view> keys) const;
    // To be called when a row with a new key was added: a key looked for in
    // vain before may be this one.
    void ForgetLastLookup() { m_bLastValid = false; }
    // Makes room for the rows of a section about to be loaded, as large as the
    // reading before the load found it, so that the lists and the index of
    // the rows do not grow (and get copied) again and again. Only a hint, and
    // one that a file of many empty lines cannot inflate: a row takes a line
    // of some bytes.
    void ExpectSection(const SectionMark& mark, bool listened);
    // The index slot of a new key is mostly far from the last one: a wait for
    // memory with every row. A line about to be stored asks for the slot of
    // the key it seems to hold (its first fields as they stand, when they are
    // plain ASCII) before it is split, so that the split hides the wait.
    // Only a hint: the key is taken from the split line all the same.
    void PrefetchKeyOf(std::string_view line);
    // The hash of a key to store, that of the hint when it was this key.
    std::size_t StoredKeyHash(std::string_view key) const;

    // Where a row's lines were read, kept while a listener is set: a line's
    // file (index into Impl::m_aPaths), its number, how many fields it had,
    // and where in the file it starts.
    struct Source {
        std::uint32_t nFile = 0;
        std::uint32_t nLine = 0;
        std::uint32_t nFields = 0;
        std::uint64_t nOffset = 0;
    };

    const PCATABLEINFO* pInfo;
    // What the load checks in every line of the table, decided once: the
    // company table's name field, and which key fields of an employee table
    // must not be empty (none, the first, or the first two).
    bool bCompany;
    int nCheckedKeys;
    RowStore rows;
    bool bSectionRead = false;    // a file had a header line of this table
    std::vector<Source> sources;  // the first line of every row
    std::unordered_map<std::uint32_t, std::vector<Source>> laterSources;  // rows merged from more
    IdHashTable keys;        // keyed tables: row key -> row (ids are row indexes)
    std::string keyScratch;  // a key joined while a line is stored
    // The rows grouped by their first value, for the tables with two or more
    // key columns; built at the first selection that needs them (most such
    // tables are never selected from) and kept up to date from then on.
    const RowGroups& Groups() const;
    // The cursors of the selections asked on the thread that owns the reader.
    mutable CPCAKyuuyo::SharedLookup selection;
    void GroupNewRow(std::uint32_t row);
    void RegroupRow(std::uint32_t row);

  private:
    // The last answer of FindRow; a reader is used from one thread only.
    mutable std::string m_strLastKey;
    mutable std::uint32_t m_nLastRow = kNoRow;
    mutable bool m_bLastValid = false;
    mutable std::uint32_t m_nCursor = kNoRow;  // the row found last
    mutable RowGroups m_groups;
    mutable bool m_bGrouped = false;
    // The key the line being stored seemed to hold (none: 0 bytes; a key is a
    // few bytes, a longer start is not worth the look) and its hash.
    std::array<char, 64> m_aHintKey{};
    std::size_t m_nHintBytes = 0;
    std::size_t m_nHintHash = 0;
};

// The lines of the files being loaded, read again by where they start: a
// table keeps only the columns the conversion reads, and the report of the
// fields a later line overwrites tells the values the earlier lines held.
class LineRereader {
  public:
    // `input`, which must outlive this object, holds the lines of file `file`.
    void Add(std::uint32_t file, const platform::InputFile& input, const std::string& path);
    // Asked for every line loaded: the files are kept by their number.
    bool Has(std::uint32_t file) const {
        return file < m_aFiles.size() && m_aFiles[file].input != nullptr;
    }
    // The line of file `file` that starts at byte `offset`, its trailing
    // blanks trimmed; valid until the next call. Throws ReadError where the
    // file cannot be read again, InputChangedError where no line is left.
    std::string_view Line(std::uint32_t file, std::uint64_t offset);
    const std::string& PathOf(std::uint32_t file) const { return m_aFiles[file].path; }

  private:
    struct Entry {
        const platform::InputFile* input = nullptr;
        std::string path;
    };

    std::vector<Entry> m_aFiles;  // by file number
    std::string m_strLine;
};

// Where a line was read, its file one of `paths` (the files read while a
// listener was set).
inline LineOrigin OriginIn(const std::vector<std::string>& paths, const TableRows::Source& source) {
    if (source.nLine == 0 || source.nFile >= paths.size()) return {};
    return {paths[source.nFile], source.nLine};
}

// Tells the listener which fields of `row` the staged line (`line`) is about
// to change; the earlier lines of the key are read again through `lines`
// where the store did not keep a value.
void ReportOverwrites(const TableRows& table, std::uint32_t row, std::string_view key,
                      std::string_view line, const TableRows::Source& source,
                      const std::vector<std::string>& paths, ReadListener& listener,
                      LineRereader* lines);

struct CPCAKyuuyo::Impl {
    Impl(platform::MessageLog& log, platform::FileSystem& fs);

    // The rows of a catalogued table, or nullptr.
    TableRows* FindTable(std::string_view code);
    const TableRows* FindTable(std::string_view code) const;

    // The sections of the files to load on a second thread.
    struct AsideChoice {
        std::size_t file;  // index into the paths
        std::vector<AsidePart> parts;
    };
    std::optional<AsideChoice> ChooseAside(const std::vector<std::string>& paths,
                                           std::size_t files);
    // A section loading on a second thread, and its file opened for it.
    struct Aside {
        std::size_t index = static_cast<std::size_t>(-1);  // of its file; none: -1
        std::unique_ptr<platform::InputFile> file;
        std::unique_ptr<SectionAside> section;  // null when loaded in turn
    };
    Aside StartAside(const std::vector<std::string>& paths, std::size_t files,
                     std::uint32_t firstFile);

    // Loads one file, `opened` when not null (else opened here); `aside`, when
    // not null, is loading a section of the files, of this one when `here`.
    bool ReadFile(const std::string& path, std::uint32_t fileIndex, platform::InputFile* opened,
                  SectionAside* aside, bool here);
    // Stores a data line that starts at byte `offset` of its file, telling
    // `listener` (may be null) what it finds; a line of a table other than
    // the company's touches nothing but its table, so that two tables may be
    // loaded on two threads. Where a listener is told, the line keeps all its
    // fields unless `lines` can read its file again.
    void StoreDataLine(TableRows& table, std::string_view line, const std::string& path,
                       std::size_t lineNumber, std::uint64_t offset, std::uint32_t fileIndex,
                       ReadListener* listener, LineRereader* lines);
    void StoreKeyed(TableRows& table, std::string_view line, const TableRows::Source& source,
                    ReadListener* listener, LineRereader* lines);
    void ReportEmptyKey(const TableRows& table, const TableRows::Source& source,
                        ReadListener& listener);
    LineOrigin OriginOf(const TableRows::Source& source) const {
        return OriginIn(m_aPaths, source);
    }
    void BuildEmployeeList();
    // Fills m_aSelectRows with the rows whose first key column holds `value`,
    // in row order.
    void SelectRowsByFirstKey(const TableRows& table, std::string_view value);
    // Fills m_aSelectResult with `column` of the rows whose first key column
    // holds `value`, in row order; the table has key columns.
    void SelectByFirstKey(const TableRows& table, int column, std::string_view value);

    // The value at `position` of the row of `table` under `keys`; "" for a wrong
    // number of keys, an empty key, a missing row or a position below 0.
    std::string_view Lookup(const TableRows& table, std::initializer_list<std::string_view> keys,
                            int position) const;
    // The row under `keys`, or kNoRow for a wrong number of keys, an empty key
    // or a missing row.
    std::uint32_t LookupRow(const TableRows& table,
                            std::initializer_list<std::string_view> keys) const;

    platform::MessageLog& m_log;
    platform::FileSystem& m_fs;
    std::vector<TableRows> m_aTables;  // in catalogue order
    std::vector<std::string> m_aEmployeeCodes;
    std::vector<std::string_view> m_aSelectResult;
    std::vector<std::uint32_t> m_aSelectRows;
    std::string m_strCompanyName;
    ReadListener* m_pListener = nullptr;                // not owned
    std::vector<std::string> m_aPaths;                  // the files read while a listener was set
    std::map<std::string, SectionMarks> m_mapSections;  // where the sections of a file lie
    // The files of the load in progress, kept open for reading lines again.
    std::vector<std::unique_ptr<platform::InputFile>> m_aLoadFiles;
    // What ends the files read while the section aside may still be loading,
    // in the order of the files: run before anything of a later file is told
    // or thrown, and at the end of the load.
    std::vector<std::function<void()>> m_aFileEnds;
    bool m_bFileEndFailed = false;  // one of them threw: the load fails with it
    void EndEarlierFiles();
    // Makes room in `table` for the section whose header line is numbered
    // `headerLine`, as large as `marks` of its file found it, if they did.
    void ExpectSectionAt(TableRows& table, const SectionMarks* marks, std::size_t headerLine) const;
    LineRereader m_rereader;  // of the reading thread
    // Below this a thread costs more than it saves.
    std::uint64_t m_nLeastAside = std::uint64_t{8} << 20;
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
