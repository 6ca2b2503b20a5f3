#include "pca/export_scan.h"

#include <optional>

#include "pca/catalogue.h"
#include "pca/csv_fields.h"
#include "pca/data_line_error.h"
#include "pca/header_line.h"
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

// Header lines may come in any order.
void ScanLines(platform::InputFile& file, const std::string& path, ExportScan& scan) {
    platform::LineReader reader(file);
    std::string_view raw;
    while (reader.Next(raw)) {
        const std::string_view line = platform::TrimTrailingBlanks(raw);
        scan.paymentDates.AddLine(line);
        if (!IsHeaderLine(line)) continue;
        std::string code = HeaderTableCode(line);
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
}

}  // namespace

void PaymentDateTally::AddLine(std::string_view line) {
    if (line.empty()) return;
    if (IsHeaderLine(line)) {
        m_bPaymentSection = HeaderTableCode(line) == kPaymentTable;
        return;
    }
    if (!m_bPaymentSection) return;
    OneField date(kPaymentDateColumn);
    SplitCsvInto(line, date);
    if (const std::optional<int> year = YearOfDate(date.Text())) ++m_mapCounts[*year];
}

ExportScan ScanExport(platform::InputFile& file, const std::string& path) {
    ExportScan scan;
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
    return scan;
}

}  // namespace kw39
