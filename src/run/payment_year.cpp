#include "run/payment_year.h"

#include <memory>

#include "convert/text_rules.h"
#include "pca/catalogue.h"
#include "pca/csv_fields.h"
#include "pca/header_line.h"
#include "platform/io_error.h"
#include "platform/line_reader.h"
#include "platform/sjis.h"
#include "run/text_encoding_check.h"

namespace kw39 {

namespace {

constexpr std::string_view kPaymentTable = "10702";
constexpr int kLastEraYear = 98;  // the largest filing year there is
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

// The calendar year of a payment date "YYYYMMDD" that names a real month and
// day of an era year 1 to 98.
std::optional<int> YearOfDate(std::string_view date) {
    if (date.size() != 8) return std::nullopt;
    for (const char c : date) {
        if (c < '0' || c > '9') return std::nullopt;
    }
    const int year = Digits(date.substr(0, 4));
    const int month = Digits(date.substr(4, 2));
    const int day = Digits(date.substr(6, 2));
    if (year < kFirstHeiseiYear || EraYear(year) > kLastEraYear) return std::nullopt;
    if (month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;
    return year;
}

}  // namespace

void PaymentYearTally::AddLine(std::string_view line) {
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

std::optional<int> PaymentYearTally::Year() const {
    std::optional<int> most;
    std::size_t count = 0;
    // Ascending years: a later year with as many dates wins.
    for (const auto& [year, dates] : m_mapCounts) {
        if (dates < count) continue;
        most = year;
        count = dates;
    }
    return most;
}

std::optional<int> PaymentYearOf(const std::string& monthlyPath, platform::FileSystem& fs) {
    if (monthlyPath.empty()) return std::nullopt;
    const auto status = fs.Stat(monthlyPath);
    if (!status || status->isDirectory || status->isSpecial) return std::nullopt;
    PaymentYearTally tally;
    try {
        const std::unique_ptr<platform::InputFile> file = fs.OpenRead(monthlyPath);
        if (!file) return std::nullopt;
        // A file that is no text is refused by the input checks; its year
        // does not matter, and it is read no further than needed to know.
        TextEncodingCheck encoding;
        CheckedInputFile checked(*file, encoding);
        platform::LineReader reader(checked);
        std::string_view line;
        while (reader.Next(line)) tally.AddLine(platform::TrimTrailingBlanks(line));
    } catch (const platform::IoError&) {
        // The input checks read the file again and report the failure.
        return std::nullopt;
    }
    return tally.Year();
}

std::optional<Message> YearMismatchQuestion(std::string_view yearText,
                                            std::optional<int> paymentYear) {
    if (!paymentYear) return std::nullopt;
    const std::int64_t asked = ToInteger64(yearText);
    if (asked == EraYear(*paymentYear)) return std::nullopt;
    return platform::MakeMessage(
        MessageId::YearQuestion, MessageStyle::Question,
        {std::to_string(*paymentYear), EraYearName(*paymentYear), std::to_string(asked)});
}

}  // namespace kw39
