// ConversionReport: gathers, for one or many companies, what the conversion
// did and what it left out, so that the clerk can see it beside the document.
// It observes the engine and changes nothing in the conversion. All texts are
// CP932; the program that writes the report chooses the file's encoding.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "convert/conversion_observer.h"

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

// What the outcome line of a company says of its run besides the outcome, so
// that an office can tell the lines of a report apart without the log.
struct RunDescription {
    std::string companyCode;  // of the export's company block; "" when unread
    std::string companyName;
    std::string year;          // the filing year with its era, "8 (令和8年)"
    std::string mode;          // "標準モード" or "簡易モード"
    std::string documentPath;  // the document written, or the one not written
};

struct CompanyReport {
    std::string label;          // how the caller names the company (a folder), may be ""
    std::string companyName;    // "会社名" of the export, once its files are loaded
    std::size_t employees = 0;  // employees converted
    bool written = false;       // the document was written
    std::string notWritten;     // why not, when the caller said so
    std::vector<Finding> findings;
    std::optional<RunDescription> run;  // when the caller described it

    // The caller's name for the company when it gave one (unique within a
    // batch), else the company name of the export.
    const std::string& Name() const { return label.empty() ? companyName : label; }
};

using FindingCounts = std::array<std::size_t, kFindingKindCount>;

class ConversionReport : public ConversionObserver {
  public:
    // Opens the record of the next company; what follows is about it.
    void BeginCompany(std::string label);
    // Closes the current company's record with its outcome.
    void EndCompany(bool written, std::string whyNot = {});
    // Describes the current company's run on its outcome line.
    void DescribeRun(RunDescription run);

    const std::vector<CompanyReport>& Companies() const { return m_aCompanies; }

    // The findings by kind, of one company or of all.
    static FindingCounts Count(const CompanyReport& company);
    FindingCounts CountAll() const;

    // "報告: 3 件 (扶養親族の超過 0, 給与の除外 1, ...)": the first eight kinds
    // always, the others when they occur.
    static std::string CountLine(const FindingCounts& counts);

    // Turns one CP932 field into the file's encoding.
    using FieldEncoder = std::function<std::string(std::string_view)>;

    // The report as CSV lines ending in CR LF: a header line "会社,社員コード,
    // 氏名,種類,内容", then per company one line with its outcome and one line
    // per finding. Fields are CP932, or encoded one by one by `encode`, so
    // that a broken character in the data never swallows a separator.
    std::string Csv(const FieldEncoder& encode = {}) const;

    void ConversionStarted(std::string_view companyName, std::size_t employees) override;
    void EmployeeConverted(const std::string& code, std::string_view name) override;
    void Noted(const ReadFinding& finding) override;
    void Found(const ConversionFinding& finding) override;

  private:
    CompanyReport& Current();
    void Add(FindingKind kind, std::string_view code, std::string detail);
    // Each finding as a line of the report.
    void Take(const QuoteMismatch& what);
    void Take(const CompanyNameRead& what);
    void Take(const IgnoredLines& what);
    void Take(const OverwrittenField& what);
    void Take(const KeyEmpty& what);
    void Take(const FuyosyaLeftOut& what);
    void Take(const KyuuyoLeftOut& what);
    void Take(const ShouyoLeftOut& what);
    void Take(const UnconvertedCode& what);
    void Take(const RowMissing& what);
    void Take(const MasterCodeNotFound& what);
    void Take(const AbnormalAmount& what);
    void Take(const TableNotRead& what);
    void Take(const EmployeeUnknown& what);
    void Take(const PaymentRowUnmatched& what);
    void Take(const BonusAmountsMissing& what);
    void Take(const PaymentsMerged& what);

    std::vector<CompanyReport> m_aCompanies;
    // First finding of the employee being converted: its name arrives last.
    std::size_t m_nEmployeeFirst = 0;
    // The findings of the load that name an employee, by code, waiting for the
    // employee's name.
    std::unordered_multimap<std::string, std::size_t> m_mapLoadFindings;
};

}  // namespace kw39
