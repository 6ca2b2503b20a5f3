// The year the data is for, as its payment dates tell it. A clerk who files
// last year's data in January, or types the wrong year, is warned before the
// run; the command line takes this year when none is given.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "run/era.h"
#include "run/run_request.h"

namespace kw39 {

// The monthly data: the file whose table 10702 carries the payment dates.
inline constexpr std::size_t kMonthlySlot = 4;

// Counts the calendar years of the 10702 payment dates ("YYYYMMDD") among the
// lines of a file, fed one by one as read (trailing blanks trimmed). Dates that
// are no date of an era year 1 to 98 (Heisei 1 = 1989 to Reiwa 98 = 2116) are
// not counted.
class PaymentYearTally {
  public:
    void AddLine(std::string_view line);
    // The year most dates fall in, the later one on a tie; nothing without a
    // date.
    std::optional<int> Year() const;

  private:
    bool m_bPaymentSection = false;  // the lines are rows of 10702
    std::map<int, std::size_t> m_mapCounts;
};

// The year of the payment dates of the monthly file alone, read once for
// nothing else. Nothing when the file is not a readable plain file or holds
// no payment date; the input checks say what is wrong with it.
std::optional<int> PaymentYearOf(const std::string& monthlyPath,
                                 platform::FileSystem& fs = platform::RealFileSystem());

// The question before the confirmation when the year asked for is not the year
// of the payment dates: "支給日の年は 2026 年 (令和8年) ですが、申告年度に 9 が
// 指定されています。" and "このまま続けますか？" as a Question. Nothing when
// they agree or there is no payment date.
std::optional<Message> YearMismatchQuestion(std::string_view yearText,
                                            std::optional<int> paymentYear);

}  // namespace kw39
