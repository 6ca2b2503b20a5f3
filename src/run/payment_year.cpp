#include "run/payment_year.h"

#include "convert/text_rules.h"
#include "platform/io_error.h"

namespace kw39 {

namespace {

constexpr int kLastEraYear = 98;  // the largest filing year there is

}  // namespace

std::optional<int> PaymentYearOf(const PaymentDateTally& dates) {
    std::optional<int> most;
    std::size_t count = 0;
    // Ascending years: a later year with as many dates wins.
    for (const auto& [year, counted] : dates.Counts()) {
        if (year < kFirstHeiseiYear || EraYear(year) > kLastEraYear) continue;
        if (counted < count) continue;
        most = year;
        count = counted;
    }
    return most;
}

std::optional<int> PaymentYearOf(const std::string& monthlyPath, platform::FileSystem& fs,
                                 ExportFiles* exports) {
    if (monthlyPath.empty()) return std::nullopt;
    const auto status = fs.Stat(monthlyPath);
    if (!status || status->isDirectory || status->isSpecial) return std::nullopt;
    ExportFiles own;
    try {
        const ExportFiles::Export& monthly = (exports ? *exports : own).Read(monthlyPath, fs);
        // A file that cannot be read, or is no text, is refused by the input
        // checks; its year does not matter.
        if (!monthly.file || monthly.scan.readFailure) return std::nullopt;
        return PaymentYearOf(monthly.scan.paymentDates);
    } catch (const platform::IoError&) {
        return std::nullopt;  // the input checks open it again and report the failure
    }
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
