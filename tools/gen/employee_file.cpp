// KOJINQ: employee master, tax attributes, residence tax, declarations and
// dependants.
#include <string>

#include "payroll.h"
#include "pca_tables.h"
#include "person_text.h"
#include "pools.h"
#include "set_files.h"

namespace kw39::gen {

namespace {

const char* Flag(bool value) { return value ? "1" : "0"; }

std::string Email(const Employee& employee) { return "e" + employee.code + "@example.co.jp"; }

void WriteEmployeeRow(CsvOut& out, const Company& company, const Employee& employee) {
    const Position& position = Positions()[static_cast<std::size_t>(employee.position)];
    out.Raw(employee.code);
    out.Text(company.departmentCodes[static_cast<std::size_t>(employee.department)]);
    out.Text(FamilyName(employee).kanji);
    out.Text(GivenName(employee).kanji);
    out.Text(FamilyName(employee).kana);
    out.Text(GivenName(employee).kana);
    const bool renamed = employee.formerFamily >= 0;
    out.Text(renamed ? FamilyNames()[static_cast<std::size_t>(employee.formerFamily)].kanji : "");
    out.Text(renamed ? FamilyNames()[static_cast<std::size_t>(employee.formerFamily)].kana : "");
    out.Raw(renamed ? std::to_string(employee.hired / 10000 + 3) + "0401" : "");
    out.Number(employee.male ? 1 : 2);
    out.Number(employee.birth);
    out.Raw(PostalCode(employee));
    out.Text(AddressLine1(employee));
    out.Text(AddressLine2(employee));
    out.Text(AddressLine1Kana(employee));
    out.Text("");
    out.Raw(PhoneNumber(employee));
    out.Raw("");
    out.Raw("");
    out.Raw(Email(employee));
    out.Number(employee.status);
    out.Number(employee.hired);
    out.Raw(employee.retired ? std::to_string(employee.retired) : "");
    out.Raw(position.code);
    out.Raw(position.kubun);
    out.Raw(employee.position <= 1 ? "002" : "001");
    out.Raw("25");
    out.Raw("1");
    out.Raw(employee.status == 2 ? "1" : "0");
    out.EndLine();
}

// Spouse category: 1 deductible, 2 special deduction, 0 neither or none.
int SpouseKubun(const Employee& employee) {
    if (!employee.HasSpouse()) return 0;
    const long long income = employee.dependants[0].income;
    return income <= 1030000 ? 1 : income <= 2010000 ? 2 : 0;
}

struct DependantCounts {
    int general = 0, specific = 0, elderlyTogether = 0, elderlyOther = 0, young = 0;
    int disabled = 0, speciallyDisabled = 0, speciallyDisabledTogether = 0;
};

DependantCounts CountDependants(const Employee& employee) {
    DependantCounts counts;
    for (int i = 0; i < employee.dependantCount; ++i) {
        const Dependant& d = employee.dependants[static_cast<std::size_t>(i)];
        if (d.disability == 1) ++counts.disabled;
        if (d.disability == 2) ++counts.speciallyDisabled;
        if (d.disability == 3) ++counts.speciallyDisabledTogether;
        if (d.number == 0) continue;
        switch (d.kubun) {
            case 2:
                ++counts.specific;
                break;
            case 4:
                ++(d.number % 2 ? counts.elderlyTogether : counts.elderlyOther);
                break;
            case 5:
                ++counts.young;
                break;
            default:
                ++counts.general;
                break;
        }
    }
    return counts;
}

void WriteTaxRow(CsvOut& out, const Employee& employee) {
    const int spouseKubun = SpouseKubun(employee);
    const Dependant* spouse = employee.HasSpouse() ? &employee.dependants[0] : nullptr;
    const int number = std::stoi(employee.code);
    out.Raw(employee.code);
    out.Number(employee.taxKubun);
    out.Number(employee.TaxDependants());
    out.Raw("1");
    out.Number(employee.widow);
    out.Number(employee.disability);
    out.Raw(Flag(employee.student));
    out.Raw(Flag(AgeAtYearEnd(employee.birth) < 20));
    out.Raw(Flag(employee.status == 3 && number % 10 == 0));
    out.Raw(Flag(number % 500 == 0));
    out.Raw(Flag(employee.foreign));
    out.Raw(Flag(employee.previousJob));
    out.Number(employee.previousJob ? employee.baseSalary * 3 : 0);
    out.Number(employee.previousJob ? employee.baseSalary * 3 / 20 : 0);
    out.Number(employee.previousJob ? employee.baseSalary * 3 * 15 / 100 : 0);
    out.Number(spouseKubun);
    out.Number(spouse ? spouse->disability : 0);
    out.Number(spouse ? spouse->income : 0);
    out.Number(spouseKubun == 2 ? 260000 : 0);
    const DependantCounts c = CountDependants(employee);
    for (int count : {c.general, c.specific, c.elderlyTogether, c.elderlyOther, c.young, c.disabled,
                      c.speciallyDisabled, c.speciallyDisabledTogether})
        out.Number(count);
    out.Raw(Flag(employee.previousJob));
    const auto remarks = Remarks();
    out.Text(remarks[static_cast<std::size_t>(number) % remarks.size()]);
    out.Text(employee.previousJob ? "前職あり" : "");
    out.Text("");
    out.Text("");
    out.Text(employee.previousJob ? "株式会社十河ソリューションズ" : "");
    out.Text(employee.previousJob ? "東京都新宿区表町1-2-3,ゼネラルビル5F" : "");
    out.Raw(employee.previousJob ? std::to_string(kPayYear * 10000 + 331) : "");
    out.EndLine();
}

void WriteResidenceTaxRow(CsvOut& out, const Employee& employee) {
    const Municipality& place = Municipalities()[static_cast<std::size_t>(employee.municipality)];
    out.Raw(employee.code);
    out.Raw(place.code);
    out.Raw(employee.summaryUnused ? "999999" : place.code);
    out.Raw("1");
    for (int month = 1; month <= 13; ++month)
        out.Number(month <= 12 ? ResidentTax(employee, month) : 0);
    out.EndLine();
}

void WriteDeclarationRow(CsvOut& out, const Employee& employee) {
    out.Raw(employee.code);
    out.Raw("0");
    out.Text(std::string(FamilyName(employee).kanji) + "　" + GivenName(employee).kanji);
    out.Text("本人");
    out.Raw(Flag(employee.HasSpouse()));
    out.Raw("1");
    out.Text(employee.disability ? "身体障害者手帳 4級,平成20年交付" : "");
    out.Text("");
    out.EndLine();
}

void WriteDependantRow(CsvOut& out, const Employee& employee, const Dependant& d) {
    const auto remarks = Remarks();
    out.Raw(employee.code);
    out.Number(d.number);
    out.Text(FamilyName(employee).kanji);
    out.Text(GivenName(d).kanji);
    out.Text(d.relation);
    out.Number(d.birth);
    out.Number(d.number == 0 ? SpouseKubun(employee) : 0);
    out.Number(d.kubun);
    out.Number(d.disability);
    out.Text(Occupations()[static_cast<std::size_t>(d.occupation)]);
    out.Text(d.number % 3 == 2 ? "神奈川県横浜市港北区表町3-1-1,ソレイユ望月403" : "同上");
    out.Number(d.income);
    out.Text("");
    out.Text(remarks[static_cast<std::size_t>(d.birth) % remarks.size()]);
    out.Text("");
    out.Text("");
    out.Text("");
    out.Text("");
    out.Text("");
    out.Raw(Flag(d.income < 1300000));
    out.EndLine();
}

}  // namespace

void WriteEmployeeFile(CsvOut& out, const Company& company) {
    WriteExportHeader(out, "社員情報");
    out.Section(kEmployees.code, kEmployees.columns);
    for (const Employee& employee : company.employees) WriteEmployeeRow(out, company, employee);
    out.Section(kTaxAttributes.code, kTaxAttributes.columns);
    for (const Employee& employee : company.employees) WriteTaxRow(out, employee);
    out.Section(kResidenceTax.code, kResidenceTax.columns);
    for (const Employee& employee : company.employees) WriteResidenceTaxRow(out, employee);
    out.Section(kDeclarations.code, kDeclarations.columns);
    for (const Employee& employee : company.employees) WriteDeclarationRow(out, employee);
    out.Section(kDependants.code, kDependants.columns);
    for (const Employee& employee : company.employees)
        for (int i = 0; i < employee.dependantCount; ++i)
            WriteDependantRow(out, employee, employee.dependants[static_cast<std::size_t>(i)]);
}

}  // namespace kw39::gen
