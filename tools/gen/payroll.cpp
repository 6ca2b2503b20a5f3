#include "payroll.h"

#include <algorithm>

#include "random.h"

namespace kw39::gen {

namespace {

enum : std::uint64_t { kStreamMonth = 100, kStreamBonus = 200 };

long long Percentage(long long amount, int thousandths) { return amount * thousandths / 100000; }

bool PaysCare(const Employee& employee) {
    const int age = AgeAtYearEnd(employee.birth);
    return age >= 40 && age < 65;
}

// Rough withholding: a share of what is left after insurance and a monthly
// allowance per dependant; the secondary-income column takes a flat rate.
long long MonthlyTax(const Employee& employee, long long afterSocial) {
    if (employee.taxKubun == 2) return Percentage(afterSocial, 3063);
    const long long allowed = 88000 + employee.TaxDependants() * 31667LL;
    return std::max(0LL, Percentage(afterSocial - allowed, 5105));
}

void DrawAttendance(Random& random, MonthPay& pay) {
    pay.requiredDays = static_cast<int>(random.Between(19, 22)) * 100;
    pay.sickDays = random.Percent(5) ? 100 : 0;
    pay.paidLeave = random.Percent(40) ? static_cast<int>(random.Between(1, 4)) * 50 : 0;
    pay.attendedDays = pay.requiredDays - pay.sickDays - pay.paidLeave;
    pay.holidayWorkDays = random.Percent(10) ? 100 : 0;
    pay.lateCount = random.Percent(10) ? 1 : 0;
    pay.lateTime = pay.lateCount * 50;
    pay.overtimeHours[0] = static_cast<int>(random.Between(0, 4000));
    pay.overtimeHours[1] = random.Percent(20) ? static_cast<int>(random.Between(0, 600)) : 0;
    pay.overtimeHours[2] = pay.holidayWorkDays * 8;
    pay.overtimeHours[4] = random.Percent(5) ? 800 : 0;
}

void ComputeAllowances(const Employee& employee, Random& random, MonthPay& pay) {
    static const long long kPositionAllowance[] = {0,     0,     80000, 60000, 50000,
                                                   30000, 15000, 0,     0,     0};
    pay.allowances[0] = kPositionAllowance[employee.position];
    pay.allowances[1] = employee.TaxDependants() * 10000LL;
    pay.allowances[2] = employee.building >= 0 ? 20000 : 0;
    pay.allowances[3] = employee.position >= 5 && employee.code.back() == '7' ? 5000 : 0;
    pay.allowances[4] = pay.sickDays == 0 ? 3000 : 0;
    pay.allowances[5] = random.Percent(10) ? random.Between(1, 20) * 500 : 0;
    const long long hourly = employee.baseSalary / 160;
    static const int kPremium[] = {125, 150, 135, 160, 135, 160};
    for (std::size_t i = 0; i < pay.overtime.size(); ++i)
        pay.overtime[i] = hourly * kPremium[i] * pay.overtimeHours[i] / 10000;
    pay.commute = employee.building >= 0 ? 14000 : 8500;
    pay.lateDeduction = hourly * pay.lateTime / 100;
    pay.absenceDeduction = employee.baseSalary * pay.sickDays / pay.requiredDays;
}

void ComputeInsurance(const Employee& employee, MonthPay& pay) {
    long long fixedPay = pay.base;
    for (long long allowance : pay.allowances) fixedPay += allowance;
    pay.standardMonthly = std::min(1390000LL, (fixedPay + pay.commute + 5000) / 10000 * 10000);
    pay.health = Percentage(pay.standardMonthly, 4990);
    pay.care = PaysCare(employee) ? Percentage(pay.standardMonthly, 800) : 0;
    pay.pension = Percentage(std::min(650000LL, pay.standardMonthly), 9150);
    pay.employment = employee.IsOfficer() ? 0 : Percentage(pay.taxable + pay.commute, 600);
    pay.social = pay.health + pay.care + pay.pension + pay.employment;
}

}  // namespace

long long ResidentTax(const Employee& employee, int month) {
    if (month < 1 || month > 12) return 0;
    const long long annual = employee.baseSalary * 12 / 100 * 6 / 100 * 100;
    const long long monthly = annual / 12 / 100 * 100;
    return month == 6 ? annual - monthly * 11 : monthly;
}

MonthPay ComputeMonthPay(std::uint64_t seed, int index, const Employee& employee, int month) {
    Random random = Random::For(seed, static_cast<std::uint64_t>(index),
                                kStreamMonth + static_cast<std::uint64_t>(month));
    MonthPay pay;
    pay.month = month;
    pay.payDate = kPayYear * 10000 + month * 100 + 25;
    DrawAttendance(random, pay);
    pay.base = employee.baseSalary;
    ComputeAllowances(employee, random, pay);
    pay.taxable = pay.base - pay.lateDeduction - pay.absenceDeduction;
    for (long long allowance : pay.allowances) pay.taxable += allowance;
    for (long long amount : pay.overtime) pay.taxable += amount;
    ComputeInsurance(employee, pay);
    pay.incomeTax = MonthlyTax(employee, pay.taxable - pay.social);
    pay.residentTax = ResidentTax(employee, month);
    pay.deductions[0] = employee.code.back() < '5' ? 10000 : 0;
    pay.deductions[1] = employee.IsOfficer() ? 0 : 2500;
    pay.deductions[2] = employee.building >= 0 && employee.code.back() == '3' ? 15000 : 0;
    pay.deductions[3] = random.Percent(30) ? 6800 : 0;
    pay.net = pay.taxable + pay.commute - pay.social - pay.incomeTax - pay.residentTax;
    for (long long amount : pay.deductions) pay.net -= amount;
    return pay;
}

BonusPay ComputeBonusPay(std::uint64_t seed, int index, const Employee& employee, int number) {
    Random random = Random::For(seed, static_cast<std::uint64_t>(index),
                                kStreamBonus + static_cast<std::uint64_t>(number));
    BonusPay pay;
    pay.number = number;
    pay.payDate = kPayYear * 10000 + (number == 1 ? 710 : 1210);
    pay.multiplierHundredths = static_cast<int>(random.Between(150, 250));
    pay.previousTaxable = employee.baseSalary;
    pay.amount = employee.baseSalary * pay.multiplierHundredths / 100 / 1000 * 1000;
    pay.extra = random.Percent(15) ? random.Between(1, 10) * 10000 : 0;
    pay.taxable = pay.amount + pay.extra;
    pay.standardBonus = pay.taxable / 1000 * 1000;
    pay.health = Percentage(pay.standardBonus, 4990);
    pay.care = PaysCare(employee) ? Percentage(pay.standardBonus, 800) : 0;
    pay.pension = Percentage(std::min(1500000LL, pay.standardBonus), 9150);
    pay.employment = employee.IsOfficer() ? 0 : Percentage(pay.taxable, 600);
    pay.social = pay.health + pay.care + pay.pension + pay.employment;
    pay.rateThousandths = employee.taxKubun == 2          ? 10210
                          : employee.TaxDependants() >= 2 ? 4084
                                                          : 6126;
    pay.incomeTax = Percentage(pay.taxable - pay.social, pay.rateThousandths);
    pay.net = pay.taxable - pay.social - pay.incomeTax;
    return pay;
}

AnnualTotals ComputeAnnualTotals(std::uint64_t seed, int index, const Employee& employee) {
    AnnualTotals totals;
    for (int month = 1; month <= 12; ++month) {
        const MonthPay pay = ComputeMonthPay(seed, index, employee, month);
        totals.salary += pay.taxable;
        totals.salarySocial += pay.social;
        totals.salaryTax += pay.incomeTax;
    }
    for (int number = 1; number <= kBonusPayments; ++number) {
        const BonusPay pay = ComputeBonusPay(seed, index, employee, number);
        totals.bonus += pay.taxable;
        totals.bonusSocial += pay.social;
        totals.bonusTax += pay.incomeTax;
    }
    return totals;
}

}  // namespace kw39::gen
