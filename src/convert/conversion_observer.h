// ConversionObserver: what a conversion run loads, converts and leaves out,
// told as it happens. The engine calls it only when one is set, and nothing it
// is told changes the conversion. Texts are CP932 views into the loaded data
// that live only for the call: an observer keeps copies.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "pca/read_listener.h"

namespace kw39 {

// Why a salary payment was not counted.
enum class KyuuyoSkip {
    PaymentDate,  // its 10702 payment date is not 8 bytes (or the 10702 row is missing)
    Month,        // its normalised payment number is outside 1 to 12
};

// Each finding names the employee by `code` when it is about one.

// A dependant beyond the 20th of the employee was left out.
struct FuyosyaLeftOut {
    std::string_view code;
    std::string_view number;
};

// A salary payment was left out; `paymentDate` is its 10702 支給日 as written.
struct KyuuyoLeftOut {
    std::string_view code;
    std::string_view number;
    KyuuyoSkip why;
    std::string_view paymentDate;
};

// A bonus payment numbered below 1 (empty or not a number included) was left out.
struct ShouyoLeftOut {
    std::string_view code;
    std::string_view number;
};

// A PCA code value that no conversion entry names, so that its field got the
// conversion's value for any other code (often empty). An empty PCA value is
// never reported.
struct UnconvertedCode {
    std::string_view code;
    std::string_view table;      // table code of the value: "10601", "10616", ...
    std::string_view column;     // PCA column: "性別", "扶養区分", ...
    std::string_view value;      // the value as written
    std::string_view dependant;  // the dependant number for a 10616 value, else ""
    std::string_view result;     // what the field holds instead; "" when it became empty
};

// The employee has no row in a per-employee table: "10603", "10611" or "10801".
struct RowMissing {
    std::string_view code;
    std::string_view table;
};

// A non-empty master code without a master row: department "10301", position
// "10103" or residence-tax payee "10501".
struct MasterCodeNotFound {
    std::string_view code;
    std::string_view table;
    std::string_view masterCode;
};

// A payment amount that is no finite number ("1e400"), or that would make the
// sum it is added to none; it counted as 0.
struct AbnormalAmount {
    std::string_view code;
    std::string_view table;   // "10702" (salary) or "10706" (bonus)
    std::string_view column;  // PCA column: "課税合計", "社会保険合計", "所得税"
    std::string_view number;  // the payment number as written
    std::string_view value;   // the amount as written
};

// A catalogued table of which no file read had a section (told before the
// employees are converted).
struct TableNotRead {
    std::string_view table;
};

// `rows` rows of a per-employee table whose employee code is not in the
// employee list, the first of them read at `first` (told before the employees
// are converted).
struct EmployeeUnknown {
    std::string_view code;
    std::string_view table;
    std::size_t rows = 0;
    LineOrigin first;
};

// A payment row of "10702" or "10706" whose "10701" or "10705" row (same
// employee and number) is missing, so that it was not counted.
struct PaymentRowUnmatched {
    std::string_view code;
    std::string_view table;
    std::string_view number;
    LineOrigin where;
};

// A bonus of "10705" without its "10706" row: counted with no amounts.
struct BonusAmountsMissing {
    std::string_view code;
    std::string_view number;
};

// The payments of `numbers` (as written) were summed into one record: `slot` 1
// to 12 a month, 13 the second December salary, 14 to 18 the bonuses (18 the
// fifth and every later one).
struct PaymentsMerged {
    std::string_view code;
    int slot = 0;
    std::vector<std::string_view> numbers;
};

using ConversionFinding =
    std::variant<FuyosyaLeftOut, KyuuyoLeftOut, ShouyoLeftOut, UnconvertedCode, RowMissing,
                 MasterCodeNotFound, AbnormalAmount, TableNotRead, EmployeeUnknown,
                 PaymentRowUnmatched, BonusAmountsMissing, PaymentsMerged>;

// Also told, as a ReadListener, about the lines the loading finds worth a look.
class ConversionObserver : public ReadListener {
  public:
    // The files are loaded and `employees` employees are about to be converted.
    virtual void ConversionStarted(std::string_view /*companyName*/, std::size_t /*employees*/) {}
    // One employee is converted completely (after every finding about it).
    virtual void EmployeeConverted(const std::string& /*code*/, std::string_view /*name*/) {}
    // One call per finding of the conversion; its views are valid only for
    // the call.
    virtual void Found(const ConversionFinding& /*finding*/) {}
};

}  // namespace kw39
