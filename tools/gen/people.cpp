#include "people.h"

#include <algorithm>

#include "pools.h"
#include "random.h"

namespace kw39::gen {

namespace {

// Streams of the employee draw; other parts of the generator use others.
enum : std::uint64_t { kStreamPerson = 1, kStreamDependants = 2 };

int Date(int year, int month, int day) { return year * 10000 + month * 100 + day; }

int RandomDate(Random& random, int firstYear, int lastYear) {
    return Date(static_cast<int>(random.Between(firstYear, lastYear)),
                static_cast<int>(random.Between(1, 12)), static_cast<int>(random.Between(1, 28)));
}

std::string PaddedNumber(long long value, int width) {
    std::string digits = std::to_string(value);
    if (static_cast<int>(digits.size()) < width)
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
    return digits;
}

// Mostly plain employees; the master's "未使用" row is used by a few, so the
// blanking of that name is exercised.
int DrawPosition(Random& random, int index) {
    if (index == 0) return 0;
    if (index == 1) return 1;
    const int roll = random.Below(1000);
    if (roll < 5) return UnusedPositionIndex();
    if (roll < 40) return 2;
    if (roll < 70) return 3;
    if (roll < 150) return 4;
    if (roll < 260) return 5;
    if (roll < 400) return 6;
    if (roll < 430) return 9;
    return 7;
}

long long BaseSalary(Random& random, int position) {
    static const long long kBase[] = {900000, 750000, 520000, 460000, 400000,
                                      330000, 290000, 220000, 220000, 250000};
    return kBase[position] + random.Between(0, 60) * 1000;
}

Dependant MakeSpouse(Random& random, const Employee& employee) {
    Dependant spouse;
    spouse.number = 0;
    spouse.family = employee.family;
    spouse.male = !employee.male;
    spouse.given =
        random.Below(static_cast<int>(spouse.male ? MaleNames().size() : FemaleNames().size()));
    const int employeeYear = employee.birth / 10000;
    spouse.birth =
        RandomDate(random, std::max(1940, employeeYear - 6), std::min(2004, employeeYear + 6));
    spouse.relation = spouse.male ? "夫" : "妻";
    spouse.kubun = AgeAtYearEnd(spouse.birth) >= 70 ? 4 : 1;
    spouse.disability = random.Percent(3) ? 1 : 0;
    // Occupations(): 0 会社員, 2 無職, 3 パート.
    spouse.occupation = random.Percent(50) ? 2 : random.Percent(50) ? 0 : 3;
    spouse.income = random.Percent(60) ? 0 : random.Between(10, 130) * 10000;
    return spouse;
}

Dependant MakeChildOrParent(Random& random, const Employee& employee, int number) {
    static const char* const kSons[] = {"長男", "次男", "三男", "四男"};
    static const char* const kDaughters[] = {"長女", "次女", "三女", "四女"};
    Dependant person;
    person.number = number;
    person.family = employee.family;
    person.male = random.Percent(50);
    person.given =
        random.Below(static_cast<int>(person.male ? MaleNames().size() : FemaleNames().size()));
    const int employeeYear = employee.birth / 10000;
    const bool parent = employeeYear + 20 > 2025 || (employeeYear < 1975 && random.Percent(25));
    if (parent) {
        person.birth = RandomDate(random, std::max(1930, employeeYear - 40), employeeYear - 20);
        person.relation = person.male ? "父" : "母";
        person.occupation = 2;
    } else {
        person.birth = RandomDate(random, std::max(employeeYear + 20, 1998), 2025);
        const int order = std::min(number - 1, 3);
        person.relation = person.male ? kSons[order] : kDaughters[order];
        const int age = AgeAtYearEnd(person.birth);
        person.occupation = age < 7 ? 5 : age < 23 ? 1 : 0;
    }
    const int age = AgeAtYearEnd(person.birth);
    person.kubun = age < 16 ? 5 : age >= 70 ? 4 : (age >= 19 && age <= 22) ? 2 : 1;
    person.disability = random.Percent(2) ? static_cast<int>(random.Between(1, 3)) : 0;
    person.income = age >= 65 ? random.Between(0, 40) * 10000 : 0;
    return person;
}

void DrawDependants(Random& random, Employee& employee) {
    // About half the employees have a spouse; with the children and parents
    // there are 0 to 4 rows per employee.
    const bool spouse = random.Percent(50);
    const int others = random.Below(spouse ? 4 : 5);
    int count = 0;
    if (spouse) employee.dependants[count++] = MakeSpouse(random, employee);
    for (int i = 1; i <= others; ++i)
        employee.dependants[count++] = MakeChildOrParent(random, employee, i);
    employee.dependantCount = count;
}

void DrawName(Random& random, Employee& employee) {
    employee.foreign = random.Below(200) == 0;
    if (employee.foreign) {
        employee.family = random.Below(static_cast<int>(ForeignFamilyNames().size()));
        employee.given = random.Below(static_cast<int>(ForeignGivenNames().size()));
        return;
    }
    employee.family = random.Below(static_cast<int>(FamilyNames().size()));
    employee.given =
        random.Below(static_cast<int>(employee.male ? MaleNames().size() : FemaleNames().size()));
    if (!employee.male && random.Percent(20))
        employee.formerFamily = random.Below(static_cast<int>(FamilyNames().size()));
}

void DrawEmployment(Random& random, Employee& employee) {
    const int roll = random.Below(100);
    employee.status = roll < 95 ? 1 : roll < 97 ? 2 : 3;
    const int adult = employee.birth / 10000 + 18;
    employee.hired = RandomDate(random, std::max(1985, adult), 2025);
    if (employee.status == 3) employee.retired = Date(kPayYear, 12, 31);
}

void DrawAddress(Random& random, Employee& employee) {
    const int places = static_cast<int>(Municipalities().size()) - 1;  // without "999999"
    employee.municipality = random.Below(places);
    employee.summaryUnused = random.Below(100) == 0;
    employee.town = random.Below(static_cast<int>(Towns().size()));
    employee.building =
        random.Percent(55) ? random.Below(static_cast<int>(Buildings().size())) : -1;
    employee.houseNumber[0] = static_cast<int>(random.Between(1, 9));
    employee.houseNumber[1] = static_cast<int>(random.Between(1, 30));
    employee.houseNumber[2] = static_cast<int>(random.Between(1, 20));
}

Employee MakeEmployee(std::uint64_t seed, int index, int codeWidth, int departments) {
    Random random = Random::For(seed, static_cast<std::uint64_t>(index), kStreamPerson);
    Employee employee;
    employee.code = PaddedNumber(index + 1, codeWidth);
    employee.department = random.Below(departments);
    employee.position = DrawPosition(random, index);
    employee.male = random.Percent(55);
    DrawName(random, employee);
    employee.birth = RandomDate(random, 1958, 2007);
    DrawEmployment(random, employee);
    if (index < 2) {  // the two officers stay in office
        employee.status = 1;
        employee.retired = 0;
    }
    DrawAddress(random, employee);
    employee.baseSalary = BaseSalary(random, employee.position);
    employee.taxKubun = random.Percent(4) ? 2 : 1;
    employee.disability = random.Percent(3) ? static_cast<int>(random.Between(1, 2)) : 0;
    employee.widow = random.Percent(3) ? static_cast<int>(random.Between(1, 2)) : 0;
    employee.student = AgeAtYearEnd(employee.birth) < 24 && random.Percent(20);
    employee.previousJob = random.Percent(8);
    employee.housingLoan = random.Percent(12);
    Random family = Random::For(seed, static_cast<std::uint64_t>(index), kStreamDependants);
    DrawDependants(family, employee);
    return employee;
}

std::vector<std::string> DepartmentCodes(int count) {
    std::vector<std::string> codes;
    codes.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const std::string division = PaddedNumber(i / 10 + 1, 3);
        const std::string section = PaddedNumber(i % 10 + 1, 2);
        // Every third department is coded "division-section" with a hyphen.
        codes.push_back(i % 3 == 2 ? division + "-" + section : division + section);
    }
    return codes;
}

}  // namespace

int AgeAtYearEnd(int birth) { return kPayYear - birth / 10000; }

int Employee::TaxDependants() const {
    int count = 0;
    for (int i = 0; i < dependantCount; ++i) {
        const Dependant& d = dependants[static_cast<std::size_t>(i)];
        if (d.number == 0 ? d.income <= 1030000 : d.kubun != 5) ++count;
    }
    return count;
}

Company MakeCompany(int employees, std::uint64_t seed) {
    Company company;
    company.departmentCount = std::clamp(employees / 40, 5, 5000);
    company.departmentCodes = DepartmentCodes(company.departmentCount);
    const int codeWidth = std::max(6, static_cast<int>(std::to_string(employees).size()));
    company.employees.reserve(static_cast<std::size_t>(employees));
    for (int i = 0; i < employees; ++i)
        company.employees.push_back(MakeEmployee(seed, i, codeWidth, company.departmentCount));
    return company;
}

}  // namespace kw39::gen
