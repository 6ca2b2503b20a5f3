// The year the data is for, as its payment dates tell it. A clerk who files
// last year's data in January, or types the wrong year, is warned before the
// run; the command line takes this year when none is given.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "pca/export_files.h"
#include "platform/file_system.h"
#include "run/era.h"
#include "run/run_request.h"

namespace kw39 {

// The monthly data: the file whose table 10702 carries the payment dates.
inline constexpr std::size_t kMonthlySlot = 4;

// The calendar year most payment dates fall in, the later one on a tie, of
// the dates of an era year 1 to 98 (Heisei 1 = 1989 to Reiwa 98 = 2116);
// nothing without such a date.
std::optional<int> PaymentYearOf(const PaymentDateTally& dates);

// The year of the payment dates of the monthly file, from the reading of it
// in `exports` (one of its own without). Nothing when the file is not a
// readable plain file or holds no payment date; the input checks say what is
// wrong with it.
std::optional<int> PaymentYearOf(const std::string& monthlyPath,
                                 platform::FileSystem& fs = platform::RealFileSystem(),
                                 ExportFiles* exports = nullptr);

// The question before the confirmation when the year asked for is not the year
// of the payment dates: "支給日の年は 2026 年 (令和8年) ですが、申告年度に 9 が
// 指定されています。" and "このまま続けますか？" as a Question. Nothing when
// they agree or there is no payment date.
std::optional<Message> YearMismatchQuestion(std::string_view yearText,
                                            std::optional<int> paymentYear);

}  // namespace kw39
