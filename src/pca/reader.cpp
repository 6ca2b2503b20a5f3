// Loading of the PCA export files into the tables of CPCAKyuuyo.
#include "pca/reader.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <utility>

#include "pca/data_line_error.h"
#include "pca/header_line.h"
#include "pca/reader_impl.h"
#include "pca/section_aside.h"
#include "pca/text_encoding_check.h"
#include "platform/io_error.h"
#include "platform/line_reader.h"
#include "platform/messages.h"
#include "platform/sjis.h"

namespace kw39 {

namespace {

// The most of all the bytes to load that the second thread takes, five
// eighths: a byte of the monthly tables, whose columns the conversion does not
// read are only counted, loads faster than one of the quoted texts the reading
// thread keeps.
constexpr std::uint64_t kAsideShare = 5;
constexpr std::uint64_t kAsideShareOf = 8;

const char kCompanyTable[] = "10000";
const char kEmployeeTable[] = "10601";

std::string TooManyFields(const std::string& code, std::size_t fields, int columns) {
    return platform::TextOf(platform::MessageId::LineMoreFields,
                            {code, std::to_string(fields), std::to_string(columns)});
}

std::string TooFewKeyFields(const std::string& code, std::size_t fields, int keys) {
    return platform::TextOf(platform::MessageId::LineFewerKeys,
                            {code, std::to_string(fields), std::to_string(keys)});
}

std::string LineTooLong(const std::string& code) {
    return platform::TextOf(
        platform::MessageId::LineTooLong,
        {code, std::to_string(platform::kMaxLineBytes), std::to_string(kMaxValueBytes)});
}

std::string ValueTooLong(const std::string& code, std::size_t field, std::size_t bytes) {
    return platform::TextOf(
        platform::MessageId::ValueTooLong,
        {code, std::to_string(field + 1), std::to_string(bytes), std::to_string(kMaxValueBytes)});
}

std::string NoCompanyName(std::size_t fields) {
    return platform::TextOf(platform::MessageId::CompanyNameMissing, {std::to_string(fields)});
}

}  // namespace

std::size_t HashKey(std::string_view key) { return std::hash<std::string_view>{}(key); }

namespace {

// The key fields of an employee table told when empty: the employee code, and
// in the tables of dependants and payment amounts also the second key.
int CheckedKeysOf(const PCATABLEINFO& table) {
    if (!IsEmployeeTable(table)) return 0;
    const bool second =
        table.strCode == "10616" || table.strCode == "10702" || table.strCode == "10706";
    return second ? 2 : 1;
}

}  // namespace

TableRows::TableRows(const PCATABLEINFO& table)
    : pInfo(&table),
      bCompany(table.strCode == kCompanyTable),
      nCheckedKeys(CheckedKeysOf(table)),
      rows(table.nColumns) {}

namespace {

// Whether two texts are the same. Keys are a few bytes long, and are compared
// for nearly every value the conversion reads: comparing them here costs less
// than a call of the library's comparison.
bool SameText(std::string_view a, std::string_view b) {
    const std::size_t n = a.size();
    if (n != b.size()) return false;
    const auto word = [](const char* p, auto zero) {
        decltype(zero) w;
        std::memcpy(&w, p, sizeof w);
        return w;
    };
    if (n >= 8 && n <= 16) {
        return word(a.data(), std::uint64_t{}) == word(b.data(), std::uint64_t{}) &&
               word(a.data() + n - 8, std::uint64_t{}) == word(b.data() + n - 8, std::uint64_t{});
    }
    if (n >= 4 && n < 8) {
        return word(a.data(), std::uint32_t{}) == word(b.data(), std::uint32_t{}) &&
               word(a.data() + n - 4, std::uint32_t{}) == word(b.data() + n - 4, std::uint32_t{});
    }
    return a == b;
}

}  // namespace

bool TableRows::ValuesAreKey(std::uint32_t row,
                             std::initializer_list<std::string_view> keys) const {
    if (keys.size() != static_cast<std::size_t>(pInfo->nKeyColumns)) return false;
    int i = 0;
    for (const std::string_view key : keys) {
        if (!SameText(rows.SharedField(row, i++), key)) return false;
    }
    return true;
}

std::uint32_t TableRows::NearRowOfValues(std::uint32_t near,
                                         std::initializer_list<std::string_view> keys) const {
    if (near == kNoRow) return kNoRow;
    if (near + 1 < rows.Size() && ValuesAreKey(near + 1, keys)) return near + 1;
    return ValuesAreKey(near, keys) ? near : kNoRow;
}

bool TableRows::KeyEquals(std::uint32_t row, std::string_view joinedKey) const {
    std::size_t pos = 0;
    for (int i = 0; i < pInfo->nKeyColumns; ++i) {
        if (i > 0) {
            if (pos >= joinedKey.size() || joinedKey[pos] != '@') return false;
            ++pos;
        }
        const std::string_view value = rows.SharedField(row, i);
        if (!SameText(joinedKey.substr(pos, value.size()), value)) return false;
        pos += value.size();
    }
    return pos == joinedKey.size();
}

std::uint32_t TableRows::SharedFindRow(std::string_view joinedKey, std::uint32_t& near) const {
    // A key names one row at most, so a row whose key matches is the answer.
    const std::uint32_t next = near + 1;
    if (near != kNoRow && next < rows.Size() && KeyEquals(next, joinedKey)) return near = next;
    const std::uint32_t found =
        keys.Find(HashKey(joinedKey), [&](std::uint32_t row) { return KeyEquals(row, joinedKey); });
    if (found != kNoRow) near = found;
    return found;
}

std::uint32_t TableRows::FindRow(std::string_view joinedKey) const {
    if (m_bLastValid && SameText(joinedKey, m_strLastKey)) return m_nLastRow;
    m_nLastRow = SharedFindRow(joinedKey, m_nCursor);
    m_strLastKey.assign(joinedKey);
    m_bLastValid = true;
    return m_nLastRow;
}

std::uint32_t TableRows::FindRow(std::initializer_list<std::string_view> keys,
                                 std::string& joinScratch) const {
    if (m_bLastValid) {
        // Compares the values with the last key as joined, without joining them.
        std::size_t pos = 0;
        bool same = true;
        bool first = true;
        for (const std::string_view key : keys) {
            if (!first) {
                same = pos < m_strLastKey.size() && m_strLastKey[pos] == '@';
                ++pos;
            }
            first = false;
            same = same && SameText(std::string_view(m_strLastKey).substr(pos, key.size()), key);
            if (!same) break;
            pos += key.size();
        }
        if (same && pos == m_strLastKey.size()) return m_nLastRow;
    }
    // Keys joined alike from other values are left to the lookup by the
    // joined key.
    if (keys.size() >= 2) {
        if (const std::uint32_t near = NearRowOfValues(m_nCursor, keys); near != kNoRow) {
            return m_nCursor = near;
        }
    }
    if (keys.size() == 1) return FindRow(*keys.begin());
    JoinKeyInto(keys.begin(), keys.size(), joinScratch);
    return FindRow(joinScratch);
}

const RowGroups& TableRows::Groups() const {
    if (!m_bGrouped) {
        for (std::uint32_t row = 0; row < rows.Size(); ++row) m_groups.Add(row, rows.Field(row, 0));
        m_bGrouped = true;
    }
    return m_groups;
}

void TableRows::ExpectSection(const SectionMark& mark, bool listened) {
    if (mark.lastLine < mark.headerLine || mark.endOffset < mark.dataOffset) return;
    constexpr std::uint64_t kLeastRowBytes = 32;
    const std::size_t more = static_cast<std::size_t>(std::min<std::uint64_t>(
        mark.lastLine - mark.headerLine, (mark.endOffset - mark.dataOffset) / kLeastRowBytes));
    const std::size_t total = rows.Size() + more;
    rows.ReserveRows(total);
    if (pInfo->nKeyColumns > 0) keys.Reserve(total);
    if (listened) sources.reserve(total);
}

void TableRows::PrefetchKeyOf(std::string_view line) {
    m_nHintBytes = 0;
    const std::string_view text = platform::TrimLeadingBlanks(line);
    const std::size_t limit = std::min(text.size(), m_aHintKey.size());
    int fields = 0;
    for (std::size_t i = 0; i < limit; ++i) {
        const char byte = text[i];
        if (byte == ',') {
            if (++fields == pInfo->nKeyColumns) {
                m_nHintBytes = i;
                m_nHintHash = HashKey(std::string_view(m_aHintKey.data(), i));
                keys.Prefetch(m_nHintHash);
                return;
            }
            m_aHintKey[i] = '@';
        } else if (byte == '"' || static_cast<unsigned char>(byte) >= 0x80) {
            return;  // quoted, or double-byte text that a comma may end
        } else {
            m_aHintKey[i] = byte;
        }
    }
}

std::size_t TableRows::StoredKeyHash(std::string_view key) const {
    if (m_nHintBytes > 0 && key == std::string_view(m_aHintKey.data(), m_nHintBytes)) {
        return m_nHintHash;
    }
    return HashKey(key);
}

void TableRows::GroupNewRow(std::uint32_t row) {
    if (m_bGrouped) m_groups.Add(row, rows.Field(row, 0));
}

void TableRows::RegroupRow(std::uint32_t row) {
    if (m_bGrouped) m_groups.Move(row, rows.Field(row, 0));
}

CPCAKyuuyo::Impl::Impl(platform::MessageLog& log, platform::FileSystem& fs) : m_log(log), m_fs(fs) {
    const std::vector<PCATABLEINFO>& catalogue = PcaCatalogue();
    m_aTables.reserve(catalogue.size());
    for (const PCATABLEINFO& table : catalogue) {
        TableRows& rows = m_aTables.emplace_back(table);
        // A table without key columns holds exactly one row from the start.
        if (table.nKeyColumns == 0) rows.rows.AppendEmpty();
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

namespace {

// Counts, per table code, the data lines of one file that no table takes.
class IgnoredLineCount {
  public:
    void Add(std::string_view table, std::size_t line) {
        for (Entry& entry : m_aEntries) {
            if (entry.table == table) {
                ++entry.count;
                return;
            }
        }
        m_aEntries.push_back({std::string(table), 1, line});
    }
    void Tell(ReadListener& listener, std::string_view path) const {
        for (const Entry& entry : m_aEntries) {
            listener.Noted(IgnoredLines{path, entry.table, entry.count, entry.firstLine});
        }
    }

  private:
    struct Entry {
        std::string table;
        std::size_t count;
        std::size_t firstLine;
    };
    std::vector<Entry> m_aEntries;
};

// Forwards findings to the listener, after making what a section aside
// holds complete (and told): it comes first in the file.
class ListenerGate : public ReadListener {
  public:
    // `hold` may keep a finding for later (true); else `before` runs and the
    // finding is passed on.
    ListenerGate(ReadListener* listener, std::function<bool(const ReadFinding&)> hold,
                 std::function<void()> before)
        : m_pListener(listener), m_hold(std::move(hold)), m_before(std::move(before)) {}
    void Noted(const ReadFinding& finding) override {
        if (m_hold(finding)) return;
        m_before();
        m_pListener->Noted(finding);
    }

  private:
    ReadListener* m_pListener;
    std::function<bool(const ReadFinding&)> m_hold;
    std::function<void()> m_before;
};

// The lines of a file read through its encoding check from where the file
// stands, numbered on from `linesBefore`.
class CheckedLines {
  public:
    CheckedLines(platform::InputFile& file, TextEncodingCheck& check, std::size_t linesBefore,
                 std::uint64_t bytesBefore)
        : m_checked(file, check),
          m_reader(m_checked),
          m_nBefore(linesBefore),
          m_nBytesBefore(bytesBefore) {}
    // Also tells where in the file the line starts.
    bool Next(std::string_view& line, std::uint64_t& offset) {
        offset = m_nBytesBefore + m_reader.Offset();
        return m_reader.Next(line);
    }
    bool Overlong() const { return m_reader.Overlong(); }
    std::size_t LineNumber() const { return m_nBefore + m_reader.LineNumber(); }

  private:
    CheckedInputFile m_checked;
    platform::LineReader m_reader;
    std::size_t m_nBefore;
    std::uint64_t m_nBytesBefore;
};

// What loading a file tells about its bytes: a byte that is no Shift_JIS
// character fails. What follows an end-of-file byte is not loaded, so it is no
// concern here.
void ThrowUnlessText(const std::string& path, const TextEncodingCheck& encoding) {
    const TextVerdict verdict = encoding.Verdict();
    if (verdict.problem != TextProblem::None && verdict.problem != TextProblem::DataAfterEnd) {
        throw DataLineError(path, std::max<std::size_t>(verdict.nLine, 1),
                            DescribeTextProblem(verdict));
    }
}

}  // namespace

// The largest section of the files worth a thread of its own: one of a keyed
// table (not the company's) still empty that no other section of the files
// holds. The sections that follow it in its file go with it while such and
// while the thread's share of all the bytes stays below its limit: the
// reading thread loads the rest, which holds what is slower to load (the
// quoted texts of the employee file). Every file must have its sections
// marked.
std::optional<CPCAKyuuyo::Impl::AsideChoice> CPCAKyuuyo::Impl::ChooseAside(
    const std::vector<std::string>& paths, std::size_t files) {
    std::map<std::string_view, int> sections;  // per table code
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < files; ++i) {
        const auto marks = m_mapSections.find(paths[i]);
        if (marks == m_mapSections.end()) return std::nullopt;
        for (const SectionMark& mark : marks->second) {
            ++sections[mark.code];
            total += mark.endOffset - mark.dataOffset;
        }
    }
    const auto eligible = [&](const SectionMark& mark) -> TableRows* {
        TableRows* const table = FindTable(mark.code);
        if (!table || sections[mark.code] != 1 || table->bCompany ||
            table->pInfo->nKeyColumns == 0 || table->rows.Size() > 0) {
            return nullptr;
        }
        return table;
    };
    std::size_t bestFile = 0;
    std::size_t bestIndex = 0;
    std::uint64_t bestBytes = 0;
    for (std::size_t i = 0; i < files; ++i) {
        const SectionMarks& marks = m_mapSections.find(paths[i])->second;
        for (std::size_t m = 0; m < marks.size(); ++m) {
            const std::uint64_t bytes = marks[m].endOffset - marks[m].dataOffset;
            if (bytes >= m_nLeastAside && bytes > bestBytes && eligible(marks[m])) {
                bestFile = i;
                bestIndex = m;
                bestBytes = bytes;
            }
        }
    }
    if (bestBytes == 0) return std::nullopt;
    const SectionMarks& marks = m_mapSections.find(paths[bestFile])->second;
    AsideChoice choice{bestFile, {{marks[bestIndex], eligible(marks[bestIndex])}}};
    std::uint64_t bytes = bestBytes;
    for (std::size_t m = bestIndex + 1; m < marks.size(); ++m) {
        TableRows* const table = eligible(marks[m]);
        bytes += marks[m].endOffset - marks[m].dataOffset;
        if (!table || bytes * kAsideShareOf > total * kAsideShare) break;
        choice.parts.push_back({marks[m], table});
    }
    return choice;
}

CPCAKyuuyo::Impl::Aside CPCAKyuuyo::Impl::StartAside(const std::vector<std::string>& paths,
                                                     std::size_t files, std::uint32_t firstFile) {
    Aside aside;
    const std::optional<AsideChoice> choice = ChooseAside(paths, files);
    if (!choice) return aside;
    const std::string& path = paths[choice->file];
    // Opened now, and loaded from this handle in its turn. What opening it
    // fails with is told in its turn.
    try {
        if (m_fs.Stat(path)) aside.file = m_fs.OpenRead(path);
    } catch (const std::exception&) {
        return aside;
    }
    if (!aside.file) return aside;
    aside.index = choice->file;
    std::unique_ptr<platform::InputFile> part =
        aside.file->ReadAt(choice->parts.front().mark.dataOffset);
    if (!part) return aside;
    // Room for the rows of its sections, made before its thread touches them.
    for (const AsidePart& p : choice->parts) p.table->ExpectSection(p.mark, m_pListener != nullptr);
    const auto fileIndex = static_cast<std::uint32_t>(firstFile + (m_pListener ? choice->file : 0));
    // Lines of the section are read again on the section's own thread, from
    // the file it loads them from.
    auto again = std::make_shared<LineRereader>();
    again->Add(fileIndex, *aside.file, path);
    SectionAside::StoreLine store = [this, path, fileIndex, again](
                                        TableRows& rows, std::string_view line, std::size_t number,
                                        std::uint64_t offset, bool overlong,
                                        ReadListener* listener) {
        if (overlong) throw DataLineError(path, number, LineTooLong(rows.pInfo->strCode));
        StoreDataLine(rows, line, path, number, offset, fileIndex, listener, again.get());
    };
    aside.section =
        std::make_unique<SectionAside>(*aside.file, std::move(part), std::move(choice->parts),
                                       m_pListener != nullptr, std::move(store), path);
    if (!aside.section->Started()) aside.section.reset();
    return aside;
}

void CPCAKyuuyo::Impl::ExpectSectionAt(TableRows& table, const SectionMarks* marks,
                                       std::size_t headerLine) const {
    if (!marks) return;
    const auto mark = std::find_if(marks->begin(), marks->end(), [&](const SectionMark& m) {
        return m.headerLine == headerLine;
    });
    if (mark != marks->end()) table.ExpectSection(*mark, m_pListener != nullptr);
}

void CPCAKyuuyo::Impl::EndEarlierFiles() {
    // A file end that fails ends the load: the ends after it are dropped.
    std::vector<std::function<void()>> ends;
    ends.swap(m_aFileEnds);
    try {
        for (const std::function<void()>& end : ends) end();
    } catch (...) {
        m_bFileEndFailed = true;
        throw;
    }
}

bool CPCAKyuuyo::Impl::ReadFile(const std::string& path, std::uint32_t fileIndex,
                                platform::InputFile* opened, SectionAside* aside, bool here) {
    std::unique_ptr<platform::InputFile> own;
    if (!opened) {
        if (!m_fs.Stat(path)) {
            EndEarlierFiles();  // what they tell or throw comes first
            m_log.Add(platform::MakeMessage(platform::MessageId::FileVanished,
                                            platform::MessageStyle::Warning));
            return false;
        }
        own = m_fs.OpenRead(path);
        if (!own) return false;
        opened = own.get();
        // Open until the whole load is done: its lines may be read again.
        m_aLoadFiles.push_back(std::move(own));
    }
    platform::InputFile& file = *opened;

    // The checks before the run looked at these bytes already, but a file can
    // be written again in place (a new export) while the clerk answers the
    // questions: what is loaded is checked as it is read, so that no byte
    // that is no Shift_JIS character reaches the document.
    // Both are kept for the end of the file, which may come after the next
    // file is read.
    const auto encoding = std::make_shared<TextEncodingCheck>();
    const auto ignored = std::make_shared<IgnoredLineCount>();
    std::unique_ptr<platform::InputFile> rest;  // the file after the section aside
    std::optional<CheckedLines> lines;
    lines.emplace(file, *encoding, 0, 0);
    TableRows* table = nullptr;  // the table of the current section; none when inactive
    std::string section;         // the code of the current header line; "" before the first
    // A section loaded on a second thread, of this file when `here`: this
    // loop passes over it, and its table is complete before anything after it
    // is told or thrown. Its table is loaded from nowhere else.
    bool passed = false;      // this loop went on after the section aside
    bool nextHeader = false;  // the line after it must be a header line
    bool finished = false;
    const auto finishAside = [&] {
        if (!passed || finished) return;
        finished = true;
        aside->Finish(m_pListener);
        encoding->IncludeUtf8Of(aside->Check());
    };
    // What this file tells comes after what the files before it tell, and
    // after what its section aside tells once the loop has passed it. The
    // company name of a file, which only changes the name told with the
    // findings after it, waits in line while a file before it may still be
    // loading, so that the reading thread need not wait for it.
    ListenerGate gate(
        m_pListener,
        [&](const ReadFinding& finding) {
            const auto* company = std::get_if<CompanyNameRead>(&finding);
            if (!company || m_aFileEnds.empty() || (passed && !finished)) return false;
            m_aFileEnds.push_back([this, name = std::string(company->name)] {
                if (m_pListener) m_pListener->Noted(CompanyNameRead{name});
            });
            return true;
        },
        [&] {
            EndEarlierFiles();
            finishAside();
        });
    // The lines of this file can be read again for the report where the file
    // can be read from any byte; an earlier line of its keys may lie in
    // another file.
    LineRereader* const again = m_pListener ? &m_rereader : nullptr;
    if (again && file.ReadAt(0)) again->Add(fileIndex, file, path);
    // Where the reading before the load found the sections of this file.
    const auto known = m_mapSections.find(path);
    const SectionMarks* const marks = known == m_mapSections.end() ? nullptr : &known->second;
    std::string_view raw;
    std::uint64_t offset = 0;
    try {
        while (lines->Next(raw, offset)) {
            const std::string_view line = platform::TrimTrailingBlanks(raw);
            if (line.empty()) continue;
            const bool header = !lines->Overlong() && IsHeaderLine(line);
            // The file no longer ends the section aside where it did.
            if (nextHeader && !header) throw platform::InputChangedError(path);
            nextHeader = false;
            if (lines->Overlong() && table) {
                throw DataLineError(path, lines->LineNumber(), LineTooLong(section));
            }
            if (header) {
                section = HeaderTableCode(line);
                table = FindTable(section);
                if (table) table->bSectionRead = true;
                if (aside && aside->Holds(table)) {
                    // Passed over where they were found, and met nowhere else.
                    if (!here || passed || table != aside->Parts().front().table ||
                        lines->LineNumber() != aside->First().headerLine) {
                        throw platform::InputChangedError(path);
                    }
                    for (const AsidePart& part : aside->Parts()) part.table->bSectionRead = true;
                    const SectionMark& last = aside->Last();
                    rest = file.ReadAt(last.endOffset);
                    if (!rest) throw platform::ReadError(path);
                    encoding->ContinueAt(last.lastLine + 1);
                    lines.emplace(*rest, *encoding, last.lastLine, last.endOffset);
                    passed = true;
                    nextHeader = true;
                } else if (table) {
                    ExpectSectionAt(*table, marks, lines->LineNumber());
                }
                continue;
            }
            if (!table) {
                if (m_pListener) ignored->Add(section, lines->LineNumber());
                continue;
            }
            const bool gated = (passed && !finished) || !m_aFileEnds.empty();
            StoreDataLine(*table, line, path, lines->LineNumber(), offset, fileIndex,
                          gated && m_pListener ? &gate : m_pListener, again);
        }
        // The file ended before the section aside: it was written again.
        if (here && !passed) {
            ThrowUnlessText(path, *encoding);
            throw platform::InputChangedError(path);
        }
    } catch (...) {
        // What the files before it and its section aside hold comes first,
        // unless the failure is theirs.
        if (!m_bFileEndFailed) {
            EndEarlierFiles();
            finishAside();
        }
        throw;
    }
    // The end of the file: its section aside finished, its verdict, the lines
    // of tables it does not know. While its section aside may still be
    // loading, it is left for later (done before anything of a later file is
    // told or thrown, and at the end of the load), and the reading thread
    // goes on with the next file; so is the end of every file after it.
    SectionAside* const left = passed && !finished ? aside : nullptr;
    std::function<void()> end = [this, path, encoding, ignored, left] {
        if (left) {
            left->Finish(m_pListener);
            encoding->IncludeUtf8Of(left->Check());
        }
        ThrowUnlessText(path, *encoding);
        if (m_pListener) ignored->Tell(*m_pListener, path);
    };
    if (left || !m_aFileEnds.empty()) {
        m_aFileEnds.push_back(std::move(end));
    } else {
        end();
    }
    return true;
}

// The line is split straight into the table's storage as a staged row and
// checked completely before it is kept, so that a malformed line changes
// nothing.
void CPCAKyuuyo::Impl::StoreDataLine(TableRows& table, std::string_view line,
                                     const std::string& path, std::size_t lineNumber,
                                     std::uint64_t offset, std::uint32_t fileIndex,
                                     ReadListener* listener, LineRereader* lines) {
    const PCATABLEINFO& info = *table.pInfo;
    // Only a line longer than the limit can hold a value longer than it.
    const bool longLine = line.size() > kMaxValueBytes;
    // Where a listener is told, only a line that can be read again is cut.
    const bool whole = longLine || (listener && !(lines && lines->Has(fileIndex)));
    if (info.nKeyColumns > 0) table.PrefetchKeyOf(line);
    const std::size_t count = table.rows.StageLine(line, whole);
    if (listener) {
        if (const QuoteFault fault = table.rows.StagedQuoteFault(); fault != QuoteFault::None) {
            listener->Noted(QuoteMismatch{path, lineNumber, line, fault});
        }
    }
    const bool company = table.bCompany;
    if (company && count < 2) throw DataLineError(path, lineNumber, NoCompanyName(count));
    if (count > static_cast<std::size_t>(info.nColumns)) {
        throw DataLineError(path, lineNumber, TooManyFields(info.strCode, count, info.nColumns));
    }
    if (count < static_cast<std::size_t>(info.nKeyColumns)) {
        throw DataLineError(path, lineNumber,
                            TooFewKeyFields(info.strCode, count, info.nKeyColumns));
    }
    if (longLine) {
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t bytes = table.rows.StagedField(i).size();
            if (bytes > kMaxValueBytes) {
                throw DataLineError(path, lineNumber, ValueTooLong(info.strCode, i, bytes));
            }
        }
    }
    if (company) {
        m_strCompanyName = table.rows.StagedField(1);
        if (listener) listener->Noted(CompanyNameRead{m_strCompanyName});
    }
    if (info.nKeyColumns == 0) {
        table.rows.OverwriteWithStaged(0);
    } else {
        const TableRows::Source source{fileIndex, static_cast<std::uint32_t>(lineNumber),
                                       static_cast<std::uint32_t>(count), offset};
        if (listener) ReportEmptyKey(table, source, *listener);
        StoreKeyed(table, line, source, listener, lines);
    }
}

// A new key appends a row; a known key is overwritten field by field, positions
// beyond the line keeping their values, and the row keeps its place.
void CPCAKyuuyo::Impl::StoreKeyed(TableRows& table, std::string_view line,
                                  const TableRows::Source& source, ReadListener* listener,
                                  LineRereader* lines) {
    const int keyCount = table.pInfo->nKeyColumns;
    std::string_view key;
    if (keyCount == 1) {
        key = table.rows.StagedField(0);
    } else {
        table.keyScratch.clear();
        for (int i = 0; i < keyCount; ++i) {
            if (i > 0) table.keyScratch.push_back('@');
            table.keyScratch.append(table.rows.StagedField(static_cast<std::size_t>(i)));
        }
        key = table.keyScratch;
    }
    const std::size_t hash = table.StoredKeyHash(key);
    const std::uint32_t found =
        table.keys.Find(hash, [&](std::uint32_t row) { return table.KeyEquals(row, key); });
    if (found == kNoRow) {
        const std::uint32_t row = table.rows.AppendStaged();
        table.keys.Insert(hash);  // ids follow the rows one to one
        table.ForgetLastLookup();
        if (keyCount >= 2) table.GroupNewRow(row);
        if (listener) {
            table.sources.resize(row);  // rows stored before the listener was set
            table.sources.push_back(source);
        }
        return;
    }
    if (listener) {
        ReportOverwrites(table, found, key, line, source, m_aPaths, *listener, lines);
        table.laterSources[found].push_back(source);
    }
    // Keys joined with "@" can match while the first value differs ("a@b","c"
    // and "a","b@c"); the row then moves to the group of its new first value.
    const std::string_view oldFirst = table.rows.Field(found, 0);
    table.rows.OverwriteWithStaged(found);
    if (keyCount >= 2 && oldFirst != table.rows.Field(found, 0)) table.RegroupRow(found);
}

// An empty employee code, dependant number or salary or bonus number of a
// detail row leaves the line unreachable. The empty numbers of 10701 and 10705
// are not told here: the payment conversion tells what it leaves out.
void CPCAKyuuyo::Impl::ReportEmptyKey(const TableRows& table, const TableRows::Source& source,
                                      ReadListener& listener) {
    const PCATABLEINFO& info = *table.pInfo;
    if (table.nCheckedKeys == 0) return;
    int column = -1;
    if (table.rows.StagedField(0).empty()) {
        column = 0;
    } else if (table.nCheckedKeys == 2 && table.rows.StagedField(1).empty()) {
        column = 1;
    }
    if (column >= 0) {
        listener.Noted(KeyEmpty{OriginOf(source), info.strCode,
                                info.aColumns[static_cast<std::size_t>(column)].pszName,
                                table.rows.StagedField(0)});
    }
}

void CPCAKyuuyo::Impl::BuildEmployeeList() {
    m_aEmployeeCodes.clear();
    const TableRows& employees = *FindTable(kEmployeeTable);
    m_aEmployeeCodes.reserve(employees.rows.Size());
    for (std::uint32_t row = 0; row < employees.rows.Size(); ++row) {
        m_aEmployeeCodes.emplace_back(employees.rows.Field(row, 0));
    }
}

CPCAKyuuyo::CPCAKyuuyo(platform::MessageLog& log, platform::FileSystem& fs)
    : m_pImpl(std::make_unique<Impl>(log, fs)) {}

CPCAKyuuyo::~CPCAKyuuyo() = default;

void CPCAKyuuyo::SetListener(ReadListener* listener) { m_pImpl->m_pListener = listener; }

bool CPCAKyuuyo::ReadDataFiles(const std::vector<std::string>& paths, int count) {
    Impl& impl = *m_pImpl;
    const std::size_t files =
        count < 1 ? 0 : std::min(static_cast<std::size_t>(count), paths.size());
    // The files are numbered before any is read: a section loaded aside keeps
    // where its lines come from while the files before it are read.
    const auto firstFile = static_cast<std::uint32_t>(impl.m_aPaths.size());
    if (impl.m_pListener)
        impl.m_aPaths.insert(impl.m_aPaths.end(), paths.begin(),
                             paths.begin() + static_cast<std::ptrdiff_t>(files));
    // The files opened for the load stay open until it is done.
    struct CloseAfterLoad {
        Impl& impl;
        ~CloseAfterLoad() {
            impl.m_rereader = LineRereader();
            impl.m_aLoadFiles.clear();
        }
    } close{impl};
    const Impl::Aside aside = impl.StartAside(paths, files, firstFile);
    // The ends of files left for later refer to the section aside.
    struct DropFileEnds {
        Impl& impl;
        ~DropFileEnds() {
            impl.m_aFileEnds.clear();
            impl.m_bFileEndFailed = false;
        }
    } dropEnds{impl};
    for (std::size_t i = 0; i < files; ++i) {
        const auto fileIndex = static_cast<std::uint32_t>(firstFile + (impl.m_pListener ? i : 0));
        const bool chosen = i == aside.index;
        bool read = false;
        try {
            read = impl.ReadFile(paths[i], fileIndex, chosen ? aside.file.get() : nullptr,
                                 aside.section.get(), chosen && aside.section);
        } catch (...) {
            // A file that cannot be opened fails after the files before it.
            if (!impl.m_bFileEndFailed) impl.EndEarlierFiles();
            throw;
        }
        if (!read) {
            impl.EndEarlierFiles();
            return false;
        }
    }
    impl.EndEarlierFiles();
    impl.BuildEmployeeList();
    return true;
}

void CPCAKyuuyo::KeepResolvedColumns() {
    for (std::size_t i = 0; i < m_pImpl->m_aTables.size(); ++i) {
        TableRows& table = m_pImpl->m_aTables[i];
        const int keys = table.pInfo->nKeyColumns;
        // A table without keys holds one row, the company's name among it.
        if (keys == 0) continue;
        // The key columns are read by the load itself and by every lookup.
        std::vector<int> columns = ResolvedColumns(static_cast<int>(i));
        for (int key = 0; key < keys; ++key) columns.push_back(key);
        table.rows.KeepOnly(columns);
    }
}

void CPCAKyuuyo::KeepColumnsOf(std::string_view table, std::vector<int> columns) {
    if (TableRows* rows = m_pImpl->FindTable(table)) {
        for (int key = 0; key < rows->pInfo->nKeyColumns; ++key) columns.push_back(key);
        rows->rows.KeepOnly(columns);
    }
}

void CPCAKyuuyo::SetSectionMarks(const std::string& path, SectionMarks marks) {
    m_pImpl->m_mapSections[path] = std::move(marks);
}

void CPCAKyuuyo::SetLeastAside(std::uint64_t bytes) { m_pImpl->m_nLeastAside = bytes; }

}  // namespace kw39
