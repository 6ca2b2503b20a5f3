// The Japanese eras the filing years count in: Heisei from 1989, Reiwa from
// 1 May 2019 (its first year, 2019, a year that ended in Reiwa). Every year
// the program shows or proposes is reckoned here.
#pragma once

#include <string>

#include "platform/version.h"

namespace kw39 {

inline constexpr int kFirstHeiseiYear = 1989;
inline constexpr int kFirstReiwaYear = 2019;

// The era year a calendar year ends in: Reiwa from 2019 (year - 2018), Heisei
// before (year - 1988).
int EraYear(int calendarYear);

// "令和8年" for 2026, "平成30年" for 2018.
std::string EraYearName(int calendarYear);

// The year of the era in use on `date`: the last Heisei year, 31, ran until
// 30 April 2019.
int EraYearOn(const platform::LocalDate& date);

// "令和8年" for the filing year 8: a filing year is a year of Reiwa, the era
// in use.
std::string FilingYearName(int filingYear);

}  // namespace kw39
