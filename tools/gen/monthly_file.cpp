// GETUJIQ: attendance and pay of the twelve monthly payments, basis and
// amounts of the two bonus payments. Every column is filled.
#include <cstdio>
#include <initializer_list>

#include "payroll.h"
#include "pca_tables.h"
#include "set_files.h"

namespace kw39::gen {

namespace {

// The key of every row: the employee, the payment's number (month or bonus
// number) and its pay date.
void WriteRowKey(CsvOut& out, const Employee& employee, int number, int payDate) {
    out.Raw(employee.code);
    out.Number(number);
    out.Number(payDate);
}

// The tax settings that close both basis rows.
void WriteTaxSettings(CsvOut& out, const Employee& employee) {
    out.Number(employee.TaxDependants());
    out.Raw("1");
    out.Raw(employee.IsOfficer() ? "0" : "1");
    out.Number(employee.taxKubun);
    out.Raw("0");
}

// Each insurance amount twice: the employee's share, then the employer's.
void WriteInsuranceShares(CsvOut& out, std::initializer_list<long long> amounts) {
    for (long long amount : amounts) {
        out.Number(amount);
        out.Number(amount);
    }
}

void WriteAttendanceRow(CsvOut& out, const Employee& employee, const MonthPay& pay) {
    WriteRowKey(out, employee, pay.month, pay.payDate);
    out.Hundredths(pay.requiredDays);
    out.Hundredths(pay.requiredDays * 8);
    out.Hundredths(pay.attendedDays);
    out.Hundredths(pay.attendedDays * 8);
    out.Hundredths(0);  // absence without leave
    out.Hundredths(pay.sickDays);
    out.Hundredths(0);  // substitute and special holidays
    out.Hundredths(pay.holidayWorkDays);
    out.Hundredths(pay.paidLeave);  // paid leave days taken
    out.Number(0);                  // paid leave hours taken
    out.Hundredths(pay.paidLeave);  // paid leave taken in days
    for (int hours : pay.overtimeHours) out.Hundredths(hours);
    // Weekday, weekday night, holiday and holiday night overtime split into
    // up to 45 hours, over 45, over 60 and compensated.
    for (int kind = 0; kind < 4; ++kind) {
        const int hours = pay.overtimeHours[static_cast<std::size_t>(kind)];
        const int upTo45 = hours < 4500 ? hours : 4500;
        out.Hundredths(upTo45);
        out.Hundredths(hours - upTo45);
        out.Hundredths(0);
        out.Hundredths(0);
    }
    out.Number(pay.lateCount);
    out.Hundredths(pay.lateTime);
    for (int i = 0; i < 10; ++i) out.Hundredths(0);  // attendance time items
    out.Zeros(10);                                   // attendance number items
    WriteTaxSettings(out, employee);
    out.EndLine();
}

void WritePayRow(CsvOut& out, const Employee& employee, const MonthPay& pay) {
    WriteRowKey(out, employee, pay.month, pay.payDate);
    out.Number(pay.base);
    for (long long allowance : pay.allowances) out.Number(allowance);
    out.Zeros(50 - static_cast<int>(pay.allowances.size()));
    for (long long amount : pay.overtime) out.Number(amount);
    out.Number(pay.commute);
    out.Number(0);  // taxable commuting
    out.Number(pay.lateDeduction);
    out.Number(pay.absenceDeduction);
    out.Number(0);  // retroactive difference
    for (int kind = 0; kind < 4; ++kind) {
        out.Number(pay.overtime[static_cast<std::size_t>(kind)]);
        out.Zeros(3);
    }
    out.Number(pay.taxable);
    out.Number(pay.NonTaxable());
    WriteInsuranceShares(
        out, {pay.health, pay.BasicHealth(), pay.SpecificHealth(), pay.care, pay.pension, 0});
    out.Number(0);  // defined-contribution pension
    out.Number(pay.employment);
    out.Number(0);  // social insurance adjustment
    out.Number(pay.social);
    out.Number(pay.taxable - pay.social);
    out.Number(pay.incomeTax);
    out.Number(pay.residentTax);
    out.Number(0);  // tax adjustment
    for (long long amount : pay.deductions) out.Number(amount);
    out.Zeros(30 - static_cast<int>(pay.deductions.size()));
    out.Number(0);                            // benefits in kind
    out.Number(0);                            // carried over from last month
    out.Number(pay.net % 1000 == 0 ? 0 : 1);  // rounding this month
    out.Number(pay.net);                      // payment 1
    out.Zeros(2);                             // payments 2 and 3
    out.Number(pay.net);                      // bank transfer
    out.Zeros(2);                             // postal transfer, cash
    out.Number(0);                            // daily or hourly rate
    out.Number(employee.IsOfficer() ? 0 : pay.taxable + pay.commute);
    out.Zeros(2);                        // in kind: variable, fixed
    out.Number(pay.taxable - pay.base);  // in currency: variable
    out.Number(pay.base);                // in currency: fixed
    out.Number(0);                       // commuting in kind
    out.Number(pay.commute);
    out.Number(pay.standardMonthly);
    out.Number(pay.standardMonthly < 650000 ? pay.standardMonthly : 650000);
    out.Zeros(3);  // hand-entered flags
    out.Number(pay.standardMonthly);
    out.Number(pay.standardMonthly < 650000 ? pay.standardMonthly : 650000);
    out.EndLine();
}

void WriteBonusBasisRow(CsvOut& out, const Employee& employee, const BonusPay& pay) {
    WriteRowKey(out, employee, pay.number, pay.payDate);
    out.Number(pay.previousTaxable);
    char rate[16];
    std::snprintf(rate, sizeof rate, "%d.%03d", pay.rateThousandths / 1000,
                  pay.rateThousandths % 1000);
    out.Raw(rate);
    out.Number(employee.baseSalary);
    out.Hundredths(pay.multiplierHundredths);
    out.Zeros(10);
    WriteTaxSettings(out, employee);
    out.EndLine();
}

void WriteBonusAmountRow(CsvOut& out, const Employee& employee, const BonusPay& pay) {
    WriteRowKey(out, employee, pay.number, pay.payDate);
    out.Number(pay.amount);
    out.Number(pay.extra);
    out.Zeros(49);
    out.Number(0);  // retroactive difference
    out.Number(pay.taxable);
    out.Number(0);  // not taxable
    const long long basic = pay.health * 55 / 100;
    WriteInsuranceShares(out, {pay.health, basic, pay.health - basic, pay.care, pay.pension, 0});
    out.Number(pay.employment);
    out.Number(0);  // social insurance adjustment
    out.Number(pay.social);
    out.Number(pay.taxable - pay.social);
    out.Number(pay.incomeTax);
    out.Number(0);  // tax adjustment
    out.Zeros(30);  // bonus deduction items
    out.Number(0);  // in kind
    out.Number(0);  // bonus adjustment
    out.Number(pay.net);
    out.Zeros(2);
    out.Number(pay.net);
    out.Zeros(2);
    out.Number(employee.IsOfficer() ? 0 : pay.taxable);
    out.Raw("1");   // period covered
    out.Number(0);  // amount in kind
    out.Number(pay.taxable);
    out.Number(pay.standardBonus);
    out.Number(pay.standardBonus < 1500000 ? pay.standardBonus : 1500000);
    out.Zeros(3);
    out.EndLine();
}

}  // namespace

void WriteMonthlyFile(CsvOut& out, const Company& company, std::uint64_t seed) {
    WriteExportHeader(out, "月次データ");
    const int count = static_cast<int>(company.employees.size());
    const auto employee = [&company](int i) -> const Employee& {
        return company.employees[static_cast<std::size_t>(i)];
    };
    // Each section is one pass over all employees; a payment is computed again
    // in every pass rather than kept, which is cheaper than holding them all.
    out.Section(kAttendance.code, kAttendance.columns);
    for (int i = 0; i < count; ++i)
        for (int month = 1; month <= 12; ++month)
            WriteAttendanceRow(out, employee(i), ComputeMonthPay(seed, i, employee(i), month));
    out.Section(kPayAmounts.code, kPayAmounts.columns);
    for (int i = 0; i < count; ++i)
        for (int month = 1; month <= 12; ++month)
            WritePayRow(out, employee(i), ComputeMonthPay(seed, i, employee(i), month));
    out.Section(kBonusBasis.code, kBonusBasis.columns);
    for (int i = 0; i < count; ++i)
        for (int number = 1; number <= kBonusPayments; ++number)
            WriteBonusBasisRow(out, employee(i), ComputeBonusPay(seed, i, employee(i), number));
    out.Section(kBonusAmounts.code, kBonusAmounts.columns);
    for (int i = 0; i < count; ++i)
        for (int number = 1; number <= kBonusPayments; ++number)
            WriteBonusAmountRow(out, employee(i), ComputeBonusPay(seed, i, employee(i), number));
}

}  // namespace kw39::gen
