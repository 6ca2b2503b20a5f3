// FindingsCollector: observes one conversion and keeps what it left out or
// changed as Findings, with the employee's converted name, for the run's
// result. It changes nothing in the conversion and passes every observation
// on to the next observer (the progress of a front end), when there is one.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "convert/conversion_observer.h"
#include "run/finding.h"

namespace kw39 {

class FindingsCollector : public ConversionObserver {
  public:
    explicit FindingsCollector(ConversionObserver* next = nullptr) : m_pNext(next) {}

    // The findings so far, in the order found.
    const std::vector<Finding>& Findings() const { return m_aFindings; }
    std::vector<Finding> TakeFindings() { return std::move(m_aFindings); }
    // "会社名" of the export, once its company block was read.
    const std::string& CompanyName() const { return m_strCompanyName; }

    void ConversionStarted(std::string_view companyName, std::size_t employees) override;
    void EmployeeConverted(const std::string& code, std::string_view name) override;
    void Noted(const ReadFinding& finding) override;
    void Found(const ConversionFinding& finding) override;

  private:
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

    ConversionObserver* m_pNext;  // may be nullptr
    std::vector<Finding> m_aFindings;
    std::string m_strCompanyName;
    // First finding of the employee being converted: its name arrives last.
    std::size_t m_nEmployeeFirst = 0;
    // The findings of the load that name an employee, by code, waiting for the
    // employee's name.
    std::unordered_multimap<std::string, std::size_t> m_mapLoadFindings;
};

}  // namespace kw39
