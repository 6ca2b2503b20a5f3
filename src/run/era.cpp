#include "run/era.h"

#include "platform/messages.h"

namespace kw39 {

int EraYear(int calendarYear) {
    return calendarYear >= kFirstReiwaYear ? calendarYear - (kFirstReiwaYear - 1)
                                           : calendarYear - (kFirstHeiseiYear - 1);
}

std::string EraYearName(int calendarYear) {
    const auto era = calendarYear >= kFirstReiwaYear ? platform::MessageId::EraReiwa
                                                     : platform::MessageId::EraHeisei;
    return platform::TextOf(era, {std::to_string(EraYear(calendarYear))});
}

int EraYearOn(const platform::LocalDate& date) {
    const bool reiwa =
        date.year > kFirstReiwaYear || (date.year == kFirstReiwaYear && date.month >= 5);
    return reiwa ? date.year - (kFirstReiwaYear - 1) : date.year - (kFirstHeiseiYear - 1);
}

std::string FilingYearName(int filingYear) {
    return EraYearName(filingYear + (kFirstReiwaYear - 1));
}

}  // namespace kw39
