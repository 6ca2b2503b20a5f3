// Monthly salaries and bonuses of one employee. Each payment is computed from
// its own random stream, so the monthly table, the bonus table and the annual
// totals can each be written in its own pass and still add up.
#pragma once

#include <array>
#include <cstdint>

#include "people.h"

namespace kw39::gen {

struct MonthPay {
    int month = 0;
    int payDate = 0;  // yyyymmdd
    // Attendance; times in hundredths of an hour, days in hundredths of a day.
    int requiredDays = 0;
    int attendedDays = 0;
    int sickDays = 0;
    int holidayWorkDays = 0;
    int paidLeave = 0;
    int lateCount = 0;
    int lateTime = 0;
    std::array<int, 6> overtimeHours{};  // weekday, weekday night, holiday, holiday night,
                                         // legal holiday, legal holiday night
    // Amounts in yen.
    long long base = 0;
    std::array<long long, 6>
        allowances{};  // position, family, housing, licence, attendance, adjustment
    std::array<long long, 6> overtime{};
    long long commute = 0;  // not taxable
    long long lateDeduction = 0;
    long long absenceDeduction = 0;
    long long taxable = 0;
    long long health = 0;
    long long care = 0;
    long long pension = 0;
    long long employment = 0;
    long long social = 0;
    long long incomeTax = 0;
    long long residentTax = 0;
    std::array<long long, 4> deductions{};  // savings, union fee, company housing, insurance
    long long net = 0;
    long long standardMonthly = 0;  // standard monthly remuneration

    long long NonTaxable() const { return commute; }
    long long BasicHealth() const { return health * 55 / 100; }
    long long SpecificHealth() const { return health - BasicHealth(); }
};

struct BonusPay {
    int number = 0;
    int payDate = 0;
    int rateThousandths = 0;  // bonus tax rate in thousandths of a percent
    int multiplierHundredths = 0;
    long long previousTaxable = 0;
    long long amount = 0;
    long long extra = 0;  // achievement bonus
    long long taxable = 0;
    long long health = 0;
    long long care = 0;
    long long pension = 0;
    long long employment = 0;
    long long social = 0;
    long long incomeTax = 0;
    long long net = 0;
    long long standardBonus = 0;
};

struct AnnualTotals {
    long long salary = 0;
    long long salarySocial = 0;
    long long salaryTax = 0;
    long long bonus = 0;
    long long bonusSocial = 0;
    long long bonusTax = 0;
};

inline constexpr int kBonusPayments = 2;

// Residence tax withheld in a month (1..12); the 13th column is always 0.
long long ResidentTax(const Employee& employee, int month);

MonthPay ComputeMonthPay(std::uint64_t seed, int index, const Employee& employee, int month);
BonusPay ComputeBonusPay(std::uint64_t seed, int index, const Employee& employee, int number);
AnnualTotals ComputeAnnualTotals(std::uint64_t seed, int index, const Employee& employee);

}  // namespace kw39::gen
