// The fictional company's people: each employee's lasting attributes, drawn
// once from the seed so that every table written later agrees with the others
// (dependant rows with the dependant counts, salaries with the annual totals).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kw39::gen {

// Dates are kept as yyyymmdd numbers.
struct Dependant {
    int number = 0;  // 0 the spouse, then 1, 2, ...
    int family = 0;  // index into FamilyNames()
    int given = 0;   // index into MaleNames() or FemaleNames()
    bool male = false;
    int birth = 0;
    const char* relation = "";
    int kubun = 0;         // 扶養区分 1..5
    int disability = 0;    // 障害者区分 0..3
    int occupation = 0;    // index into Occupations()
    long long income = 0;  // estimated income of the year
};

struct Employee {
    std::string code;
    int department = 0;  // index into the department master
    int position = 0;    // index into Positions()
    bool male = true;
    bool foreign = false;
    int family = 0;
    int given = 0;
    int formerFamily = -1;  // maiden name, or -1
    int birth = 0;
    int hired = 0;
    int retired = 0;             // 0 while employed
    int status = 1;              // 就労状況 1 employed, 2 on leave, 3 retired
    int municipality = 0;        // index into Municipalities(): residence and payee
    bool summaryUnused = false;  // summary table goes to the payee "999999"
    int town = 0;
    int building = -1;  // index into Buildings(), or -1 for a house
    int houseNumber[3] = {1, 1, 1};
    long long baseSalary = 0;
    int taxKubun = 1;  // 1 甲, 2 乙
    int disability = 0;
    int widow = 0;  // 寡婦（夫）等区分 0..2
    bool student = false;
    bool previousJob = false;
    bool housingLoan = false;
    int dependantCount = 0;
    std::array<Dependant, 4> dependants{};

    // Positions 001 and 002 are the company officers, who pay no employment insurance.
    bool IsOfficer() const { return position <= 1; }
    bool HasSpouse() const { return dependantCount > 0 && dependants[0].number == 0; }
    // Dependants that count for withholding (spouse in the deduction, others 16 and over).
    int TaxDependants() const;
};

// The calendar year the payments fall in.
inline constexpr int kPayYear = 2026;

int AgeAtYearEnd(int birth);

struct Company {
    int departmentCount = 0;
    std::vector<std::string> departmentCodes;  // some hyphenated
    std::vector<Employee> employees;
};

// Draws the whole company for `employees` people from `seed`.
Company MakeCompany(int employees, std::uint64_t seed);

}  // namespace kw39::gen
