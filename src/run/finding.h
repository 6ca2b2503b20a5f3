// A finding: something the conversion of one company left out or changed
// that the clerk should see beside the document, as a value of the run's
// result. All texts are CP932.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kw39 {

enum class FindingKind {
    FuyosyaLeftOut,    // "扶養親族の超過": a dependant beyond the 20th
    KyuuyoLeftOut,     // "給与の除外": a salary payment not counted
    ShouyoLeftOut,     // "賞与の除外": a bonus payment not counted
    CodeNotConverted,  // "コードの変換なし": a code value that became empty
    RowMissing,        // "データなし": no row in 10603, 10611 or 10801
    MasterNotFound,    // "マスター未登録": a code without its master row
    QuoteMismatch,     // "引用符の不一致": a data line its quotes probably cut wrongly
    AmountAbnormal,    // "金額の異常": an amount that is no finite number, counted as 0
    InputMissing,      // "入力なし": an optional input file not chosen
    EmployeeUnknown,   // "社員情報にない社員": rows of an employee missing from 10601
    LinesIgnored,  // "読み込まない行": lines of an unknown table or before the first header
    FieldOverwritten,  // "上書き": a value a later line of the same key replaced
    KeyEmpty,          // "読めない行": a line whose key value is empty
    PaymentsMerged,    // "合算": salary payments of several numbers summed into one
};
inline constexpr std::size_t kFindingKindCount = 14;
// The kinds the count line always shows; the later ones only when they occur.
inline constexpr std::size_t kAlwaysCountedKinds = 8;

// The name of a kind, as the report and the count line show it.
std::string_view FindingKindName(FindingKind kind);

struct Finding {
    FindingKind kind;
    std::string employeeCode;
    std::string employeeName;  // the converted name, once the employee is done
    std::string detail;        // what was left out, with the values as written
};

}  // namespace kw39
