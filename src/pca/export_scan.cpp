#include "pca/export_scan.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <thread>

#include "pca/catalogue.h"
#include "pca/csv_fields.h"
#include "pca/data_line_error.h"
#include "pca/header_line.h"
#include "platform/interrupt_cleanup.h"
#include "platform/io_error.h"
#include "platform/line_reader.h"
#include "platform/messages.h"
#include "platform/sjis.h"

namespace kw39 {

namespace {

constexpr std::string_view kCompanyTable = "10000";
constexpr std::string_view kPaymentTable = "10702";
const int kPaymentDateColumn = FindPcaColumn(kPaymentTable, "支給日").nColumn;

// Keeps only the bytes of one field of a split line, and ends the split
// after it: a 10702 row has 157 fields, the date is the third.
class OneField {
  public:
    explicit OneField(int index) : m_nIndex(index) {}
    void AppendBytes(std::string_view bytes) {
        if (m_nField == m_nIndex) m_strText.append(bytes);
    }
    void AppendByte(char c) {
        if (m_nField == m_nIndex) m_strText.push_back(c);
    }
    void EndField() { ++m_nField; }
    bool Done() const { return m_nField > m_nIndex; }
    const std::string& Text() const { return m_strText; }

  private:
    int m_nIndex;
    int m_nField = 0;
    std::string m_strText;
};

// Field `index` of a line whose bytes up to the end of that field hold no
// quote and no byte beyond ASCII, as SplitCsvInto gives it: the fields end at
// the commas. Nothing for any other line. A 10702 line starts with its
// employee code, number and date, all plain, and its 157 fields need no walk.
std::optional<std::string_view> PlainField(std::string_view line, int index) {
    const std::string_view text = platform::TrimLeadingBlanks(platform::TrimTrailingBlanks(line));
    std::size_t start = 0;
    int field = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == ',') {
            if (field == index) return text.substr(start, i - start);
            ++field;
            start = i + 1;
        } else if (c == '"' || c >= 0x80) {
            return std::nullopt;
        }
    }
    // The line ends in the field, or before it: then the field is "".
    return field == index ? text.substr(start) : std::string_view();
}

int Digits(std::string_view text) {
    int value = 0;
    for (const char c : text) value = value * 10 + (c - '0');
    return value;
}

// The calendar year of a date "YYYYMMDD" with a month 1 to 12 and a day 1 to 31.
std::optional<int> YearOfDate(std::string_view date) {
    if (date.size() != 8) return std::nullopt;
    for (const char c : date) {
        if (c < '0' || c > '9') return std::nullopt;
    }
    const int month = Digits(date.substr(4, 2));
    const int day = Digits(date.substr(6, 2));
    if (month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;
    return Digits(date.substr(0, 4));
}

// Reads the line after a [10000] header (whatever it holds) and takes its first
// two fields. Without them the file cannot name its company: that is a
// malformed data line, reported with the file and the line.
CompanyLine ReadCompanyLine(platform::LineReader& reader, const std::string& path) {
    const std::size_t headerLine = reader.LineNumber();
    std::string_view line;
    if (!reader.Next(line)) {
        throw DataLineError(path, headerLine + 1,
                            platform::TextOf(platform::MessageId::CompanyLineMissing));
    }
    std::vector<std::string> fields;
    SplitCsvLine(platform::TrimTrailingBlanks(line), fields);
    if (fields.size() < 2) {
        throw DataLineError(path, reader.LineNumber(),
                            platform::TextOf(platform::MessageId::CompanyLineShort));
    }
    return {std::move(fields[0]), std::move(fields[1])};
}

// Ends the last section where the header line numbered `headerLine` starts
// (`headerOffset`) and begins the one of that line, whose data start at
// `dataOffset`.
void BeginSection(SectionMarks& marks, std::string code, std::size_t headerLine,
                  std::uint64_t headerOffset, std::uint64_t dataOffset) {
    marks.back().endOffset = headerOffset;
    marks.back().lastLine = headerLine - 1;
    marks.push_back({std::move(code), headerLine, dataOffset, 0, 0});
}

// Header lines may come in any order.
void ScanLines(platform::InputFile& file, const std::string& path, ExportScan& scan) {
    platform::LineReader reader(file);
    scan.sections.assign(1, SectionMark{});
    std::string_view raw;
    for (;;) {
        const std::uint64_t at = reader.Offset();
        if (!reader.Next(raw)) break;
        const std::string_view line = platform::TrimTrailingBlanks(raw);
        scan.paymentDates.AddLine(line);
        if (!IsHeaderLine(line)) continue;
        std::string code = HeaderTableCode(line);
        // What the load takes for a header line.
        if (!reader.Overlong()) {
            BeginSection(scan.sections, code, reader.LineNumber(), at, reader.Offset());
        }
        const bool company = code == kCompanyTable;
        if (!scan.headerRead) scan.firstHeaderIsCompany = company;
        scan.headerRead = true;
        scan.tables.insert(std::move(code));
        if (company && !scan.malformedCompany) {
            try {
                scan.companies.push_back(ReadCompanyLine(reader, path));
            } catch (const DataLineError&) {
                scan.malformedCompany = std::current_exception();
            }
        }
    }
    scan.sections.back().endOffset = reader.Offset();
    scan.sections.back().lastLine = reader.LineNumber();
}

// Adds the sections of the part of a file that follows the one of `marks`:
// `later` was read from offset `at`, after `lines` lines.
void AppendSections(SectionMarks& marks, const SectionMarks& later, std::uint64_t at,
                    std::size_t lines) {
    // The lines before the later part's first header line end the last section.
    marks.back().endOffset = at + later.front().endOffset;
    marks.back().lastLine = lines + later.front().lastLine;
    for (auto mark = later.begin() + 1; mark != later.end(); ++mark) {
        marks.push_back({mark->code, lines + mark->headerLine, at + mark->dataOffset,
                         at + mark->endOffset, lines + mark->lastLine});
    }
}

}  // namespace

void PaymentDateTally::AddLine(std::string_view line) {
    if (line.empty()) return;
    if (IsHeaderLine(line)) {
        m_bPaymentSection = HeaderTableCode(line) == kPaymentTable;
        m_bHeaderSeen = true;
        return;
    }
    if (!m_bPaymentSection && m_bHeaderSeen) return;
    std::optional<int> year;
    if (const std::optional<std::string_view> plain = PlainField(line, kPaymentDateColumn)) {
        year = YearOfDate(*plain);
    } else {
        OneField date(kPaymentDateColumn);
        SplitCsvInto(line, date);
        year = YearOfDate(date.Text());
    }
    if (year) {
        ++(m_bHeaderSeen ? m_mapCounts : m_mapBeforeHeader)[*year];
    }
}

void PaymentDateTally::Append(const PaymentDateTally& later) {
    if (m_bPaymentSection || !m_bHeaderSeen) {
        for (const auto& [year, count] : later.m_mapBeforeHeader) {
            (m_bHeaderSeen ? m_mapCounts : m_mapBeforeHeader)[year] += count;
        }
    }
    for (const auto& [year, count] : later.m_mapCounts) m_mapCounts[year] += count;
    if (later.m_bHeaderSeen) {
        m_bPaymentSection = later.m_bPaymentSection;
        m_bHeaderSeen = true;
    }
}

namespace {

// One reading of a file, or of its part from where `file` stands.
struct ScanPart {
    ExportScan scan;
    bool endOfFileByte = false;  // a 0x1A was read
};

// Whether a part can stand for its bytes in a reading of the whole file:
// nothing in it that one pass would tell or stop at.
bool Plain(const ScanPart& part) {
    return !part.scan.readFailure && !part.scan.malformedCompany &&
           part.scan.encoding.problem == TextProblem::None && !part.endOfFileByte;
}

ScanPart ScanInOnePass(platform::InputFile& file, const std::string& path) {
    ScanPart part;
    ExportScan& scan = part.scan;
    TextEncodingCheck encoding;
    CheckedInputFile checked(file, encoding);
    try {
        ScanLines(checked, path, scan);
        // What line reading left unread (after a 0x1A byte) until the verdict
        // can no longer change.
        char buffer[1 << 14];
        while (encoding.VerdictMayChange() && checked.Read(buffer, sizeof buffer) > 0) {
        }
    } catch (const platform::IoError&) {
        scan.readFailure = std::current_exception();
    }
    scan.encoding = encoding.Verdict();
    part.endOfFileByte = encoding.SawEndOfFile();
    if (!Plain(part)) scan.sections.clear();
    return part;
}

// Reads a file up to a limit.
class BoundedInputFile : public platform::InputFile {
  public:
    BoundedInputFile(platform::InputFile& file, std::uint64_t limit)
        : m_file(file), m_nLeft(limit) {}
    std::size_t Read(char* buffer, std::size_t size) override {
        const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(size, m_nLeft));
        if (wanted == 0) return 0;
        const std::size_t got = m_file.Read(buffer, wanted);
        m_nLeft -= got;
        return got;
    }

  private:
    platform::InputFile& m_file;
    std::uint64_t m_nLeft;
};

// Below this, a second thread costs more than it saves.
constexpr std::uint64_t kLeastSplit = std::uint64_t{2} << 20;

// The start of the first line at or after the middle of a file of `size`
// bytes; nothing when none is found soon after it.
std::optional<std::uint64_t> MiddleLineStart(const platform::InputFile& file, std::uint64_t size) {
    const std::uint64_t middle = size / 2;
    const std::unique_ptr<platform::InputFile> probe = file.ReadAt(middle - 1);
    if (!probe) return std::nullopt;
    char buffer[1 << 14];
    std::uint64_t at = middle - 1;
    for (int pieces = 0; pieces < 64; ++pieces) {
        const std::size_t got = probe->Read(buffer, sizeof buffer);
        if (got == 0) return std::nullopt;
        if (const void* lf = std::memchr(buffer, '\n', got)) {
            return at + static_cast<std::uint64_t>(static_cast<const char*>(lf) - buffer) + 1;
        }
        at += got;
    }
    return std::nullopt;
}

// The two halves read on two threads and put together, or nothing when they
// cannot stand for one pass.
std::optional<ExportScan> ScanInHalves(const platform::InputFile& file, std::uint64_t size,
                                       const std::string& path) {
    const std::optional<std::uint64_t> middle = MiddleLineStart(file, size);
    std::unique_ptr<platform::InputFile> first = file.ReadAt(0);
    std::unique_ptr<platform::InputFile> second = middle ? file.ReadAt(*middle) : nullptr;
    if (!first || !second || *middle >= size) return std::nullopt;
    ScanPart later;
    bool laterRead = false;  // else it failed other than by a read (out of memory)
    std::thread thread = platform::StartHelperThread([&]() noexcept {
        try {
            later = ScanInOnePass(*second, path);
            laterRead = true;
        } catch (...) {
            // The one pass that follows meets it again on the calling thread.
        }
    });
    if (!thread.joinable()) return std::nullopt;
    BoundedInputFile bounded(*first, *middle);
    ScanPart earlier;
    try {
        earlier = ScanInOnePass(bounded, path);
    } catch (...) {
        thread.join();
        throw;
    }
    thread.join();
    if (!laterRead || !Plain(earlier) || !Plain(later)) return std::nullopt;
    ExportScan& scan = earlier.scan;
    ExportScan& next = later.scan;
    scan.tables.merge(next.tables);
    for (CompanyLine& company : next.companies) scan.companies.push_back(std::move(company));
    if (!scan.headerRead) scan.firstHeaderIsCompany = next.firstHeaderIsCompany;
    scan.headerRead = scan.headerRead || next.headerRead;
    scan.paymentDates.Append(next.paymentDates);
    AppendSections(scan.sections, next.sections, *middle, scan.sections.back().lastLine);
    return std::move(scan);
}

}  // namespace

ExportScan ScanExport(platform::InputFile& file, const std::string& path) {
    if (const std::optional<platform::FileStamp> stamp = file.Stamp();
        stamp && stamp->size >= kLeastSplit) {
        if (std::optional<ExportScan> halves = ScanInHalves(file, stamp->size, path)) {
            return std::move(*halves);
        }
        // Read in one pass from the start, where the halves did not move it.
    }
    return ScanInOnePass(file, path).scan;
}

}  // namespace kw39
