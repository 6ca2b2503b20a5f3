// NENCHOUQ: year-end adjustment flags, declared insurance and deductions,
// annual totals (the sums of the monthly file) and housing-loan details.
#include <algorithm>
#include <string>

#include "payroll.h"
#include "pca_tables.h"
#include "pools.h"
#include "set_files.h"

namespace kw39::gen {

namespace {

long long AfterEmploymentDeduction(long long salary) {
    if (salary <= 1625000) return std::max(0LL, salary - 550000);
    if (salary <= 1800000) return salary - (salary * 40 / 100 - 100000);
    if (salary <= 3600000) return salary * 70 / 100 - 80000;
    if (salary <= 6600000) return salary * 80 / 100 - 440000;
    if (salary <= 8500000) return salary * 90 / 100 - 1100000;
    return salary - 1950000;
}

long long IncomeTax(long long taxable) {
    if (taxable <= 1950000) return taxable * 5 / 100;
    if (taxable <= 3300000) return taxable * 10 / 100 - 97500;
    if (taxable <= 6950000) return taxable * 20 / 100 - 427500;
    if (taxable <= 9000000) return taxable * 23 / 100 - 636000;
    if (taxable <= 18000000) return taxable * 33 / 100 - 1536000;
    return taxable * 40 / 100 - 2796000;
}

long long HousingLoanBalance(const Employee& employee) { return employee.baseSalary * 60; }
long long HousingLoanCredit(const Employee& employee) {
    return employee.housingLoan ? HousingLoanBalance(employee) * 7 / 1000 / 100 * 100 : 0;
}

// Declared life insurance and the other premiums of one employee.
struct Declared {
    long long oldLife = 0, newLife = 0, care = 0, newPension = 0, earthquake = 0, national = 0;
    long long lifeDeduction = 0;
    bool mutualAidEmpty = true;  // the three mutual-aid amounts not filled in at all
    long long mutualAid[3] = {0, 0, 0};
};

Declared DeclaredFor(const Employee& employee) {
    const int number = std::stoi(employee.code);
    Declared d;
    if (number % 3 != 0) {
        d.newLife = 48000 + (number % 7) * 6000;
        d.care = number % 2 ? 36000 : 0;
        d.newPension = number % 5 == 0 ? 84000 : 0;
        d.oldLife = number % 11 == 0 ? 60000 : 0;
        d.earthquake = number % 4 == 0 ? 18500 : 0;
        d.lifeDeduction = std::min(40000LL, d.newLife / 4 + 20000) + (d.care ? 28000 : 0);
    }
    d.national = number % 37 == 0 ? 16980 * 12 : 0;
    d.mutualAidEmpty = number % 10 != 0;
    if (!d.mutualAidEmpty) {
        d.mutualAid[0] = number % 20 == 0 ? 84000 : 0;
        d.mutualAid[1] = 144000;
        d.mutualAid[2] = 0;
    }
    return d;
}

void WriteFlagsRow(CsvOut& out, const Employee& employee) {
    out.Raw(employee.code);
    out.Raw(employee.status == 3 || employee.taxKubun == 2 ? "0" : "1");
    out.Raw("1");
    out.Raw(employee.taxKubun == 1 ? "1" : "0");
    out.EndLine();
}

void WriteInsuranceRow(CsvOut& out, const Employee& employee, const Declared& d) {
    out.Raw(employee.code);
    out.Number(d.oldLife);
    out.Number(d.lifeDeduction);
    out.Number(0);  // old private pension
    out.Number(d.newPension ? 40000 : 0);
    out.Number(0);  // old long-term damage insurance
    out.Number(d.earthquake);
    out.Number(d.earthquake);
    out.Number(d.national);
    out.Number(0);  // national pension fund
    out.Number(0);  // other declared premiums
    out.Number(d.national);
    for (long long amount : d.mutualAid) {
        if (d.mutualAidEmpty)
            out.Raw("");
        else
            out.Number(amount);
    }
    out.Number(0);  // small enterprise mutual aid withheld from pay
    out.Number(HousingLoanCredit(employee));
    out.Zeros(2);  // adjustments of pay and tax
    out.Number(d.newLife);
    out.Number(d.newPension);
    out.Number(d.care);
    out.Number(d.care ? 28000 : 0);
    out.Number(0);  // adjustment from social insurance
    out.EndLine();
}

void WriteTotalsRow(CsvOut& out, const Employee& employee, const AnnualTotals& t,
                    const Declared& d) {
    const long long pay = t.salary + t.bonus;
    const long long withheld = t.salaryTax + t.bonusTax;
    const long long income = AfterEmploymentDeduction(pay);
    const long long social = t.salarySocial + t.bonusSocial;
    const long long personal = 480000 + employee.TaxDependants() * 380000LL;
    const long long deductions = social + personal + d.national + d.lifeDeduction + d.earthquake;
    const long long taxable = std::max(0LL, income - deductions) / 1000 * 1000;
    const long long computed = IncomeTax(taxable);
    const long long annual =
        std::max(0LL, computed - HousingLoanCredit(employee)) * 1021 / 1000 / 100 * 100;
    out.Raw(employee.code);
    for (long long amount : {t.salary, t.salarySocial, t.salaryTax, t.bonus, t.bonusSocial,
                             t.bonusTax, pay, withheld, income, social, personal, deductions,
                             taxable, computed, annual, withheld - annual, annual})
        out.Number(amount);
    out.EndLine();
}

void WriteHousingLoanRow(CsvOut& out, const Employee& employee) {
    const auto remarks = Remarks();
    const bool loan = employee.housingLoan;
    out.Raw(employee.code);
    out.Raw(loan ? std::to_string(employee.hired / 10000 + 5) + "0320" : "");
    out.Raw(loan ? "1" : "");
    out.Raw(loan ? std::to_string(HousingLoanBalance(employee)) : "");
    out.Raw("");
    out.Raw("");
    out.Raw("");
    out.Raw("");
    out.Raw("");
    out.Raw("");
    out.Raw("0");
    out.Raw("0");
    out.Raw(loan ? "1" : "0");
    out.Text(remarks[static_cast<std::size_t>(employee.birth) % remarks.size()]);
    out.Text("");
    out.Text(loan ? "住宅借入金等特別控除可能額 " + std::to_string(HousingLoanCredit(employee)) +
                        "円,居住開始年月日 記載"
                  : "");
    out.Text("");
    out.Text("");
    out.Raw("0");
    out.Raw("");
    out.Raw("1");
    out.Raw("0");
    out.Raw("0");
    out.EndLine();
}

}  // namespace

void WriteYearEndFile(CsvOut& out, const Company& company, std::uint64_t seed) {
    WriteExportHeader(out, "年末調整データ");
    const auto& employees = company.employees;
    out.Section(kYearEndFlags.code, kYearEndFlags.columns);
    for (const Employee& employee : employees) WriteFlagsRow(out, employee);
    out.Section(kInsurance.code, kInsurance.columns);
    for (const Employee& employee : employees)
        WriteInsuranceRow(out, employee, DeclaredFor(employee));
    out.Section(kAnnualTotals.code, kAnnualTotals.columns);
    for (std::size_t i = 0; i < employees.size(); ++i) {
        const Employee& employee = employees[i];
        WriteTotalsRow(out, employee, ComputeAnnualTotals(seed, static_cast<int>(i), employee),
                       DeclaredFor(employee));
    }
    out.Section(kHousingLoan.code, kHousingLoan.columns);
    for (const Employee& employee : employees) WriteHousingLoanRow(out, employee);
}

}  // namespace kw39::gen
