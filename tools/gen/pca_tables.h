// The PCA tables the generator writes, with their column counts. Every data
// line carries exactly this many fields.
#pragma once

namespace kw39::gen {

struct TableShape {
    const char* code;
    int columns;
};

inline constexpr TableShape kHeader{"10000", 9};
inline constexpr TableShape kCompany{"10101", 20};
inline constexpr TableShape kPositions{"10103", 5};
inline constexpr TableShape kPayees{"10501", 9};
inline constexpr TableShape kDepartments{"10301", 4};
inline constexpr TableShape kEmployees{"10601", 29};
inline constexpr TableShape kTaxAttributes{"10603", 35};
inline constexpr TableShape kResidenceTax{"10611", 17};
inline constexpr TableShape kDeclarations{"10615", 8};
inline constexpr TableShape kDependants{"10616", 20};
inline constexpr TableShape kAttendance{"10701", 63};
inline constexpr TableShape kPayAmounts{"10702", 157};
inline constexpr TableShape kBonusBasis{"10705", 22};
inline constexpr TableShape kBonusAmounts{"10706", 122};
inline constexpr TableShape kYearEndFlags{"10801", 4};
inline constexpr TableShape kInsurance{"10802", 24};
inline constexpr TableShape kAnnualTotals{"10803", 18};
inline constexpr TableShape kHousingLoan{"10804", 23};

inline constexpr TableShape kAllTables[] = {
    kHeader,        kCompany,      kPositions,    kPayees,     kDepartments,  kEmployees,
    kTaxAttributes, kResidenceTax, kDeclarations, kDependants, kAttendance,   kPayAmounts,
    kBonusBasis,    kBonusAmounts, kYearEndFlags, kInsurance,  kAnnualTotals, kHousingLoan,
};

}  // namespace kw39::gen
