// A ConversionObserver that passes every observation on to another one, when
// there is one. Observers that watch only a few of them (the progress of a
// run) derive from it and still let the rest through.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "convert/conversion_observer.h"

namespace kw39::cli {

class ObserverRelay : public ConversionObserver {
  public:
    // `inner` may be nullptr; otherwise it must outlive this object.
    explicit ObserverRelay(ConversionObserver* inner) : m_pInner(inner) {}

    void ConversionStarted(std::string_view companyName, std::size_t employees) override {
        if (m_pInner) m_pInner->ConversionStarted(companyName, employees);
    }
    void EmployeeConverted(const std::string& code, std::string_view name) override {
        if (m_pInner) m_pInner->EmployeeConverted(code, name);
    }
    void FuyosyaLeftOut(const std::string& code, std::string_view number) override {
        if (m_pInner) m_pInner->FuyosyaLeftOut(code, number);
    }
    void KyuuyoLeftOut(const std::string& code, std::string_view number, KyuuyoSkip why,
                       std::string_view paymentDate) override {
        if (m_pInner) m_pInner->KyuuyoLeftOut(code, number, why, paymentDate);
    }
    void ShouyoLeftOut(const std::string& code, std::string_view number) override {
        if (m_pInner) m_pInner->ShouyoLeftOut(code, number);
    }
    void CodeNotConverted(const std::string& code, const UnconvertedCode& what) override {
        if (m_pInner) m_pInner->CodeNotConverted(code, what);
    }
    void RowMissing(const std::string& code, std::string_view table) override {
        if (m_pInner) m_pInner->RowMissing(code, table);
    }
    void MasterCodeNotFound(const std::string& code, std::string_view table,
                            std::string_view masterCode) override {
        if (m_pInner) m_pInner->MasterCodeNotFound(code, table, masterCode);
    }
    void AmountAbnormal(const std::string& code, const AbnormalAmount& what) override {
        if (m_pInner) m_pInner->AmountAbnormal(code, what);
    }
    void QuoteMismatch(const std::string& path, std::size_t lineNumber, std::string_view line,
                       QuoteFault fault) override {
        if (m_pInner) m_pInner->QuoteMismatch(path, lineNumber, line, fault);
    }
    void CompanyNameRead(std::string_view name) override {
        if (m_pInner) m_pInner->CompanyNameRead(name);
    }
    void LinesIgnored(const IgnoredLines& what) override {
        if (m_pInner) m_pInner->LinesIgnored(what);
    }
    void FieldOverwritten(const OverwrittenField& what) override {
        if (m_pInner) m_pInner->FieldOverwritten(what);
    }
    void KeyEmpty(const LineOrigin& where, std::string_view table, std::string_view column,
                  std::string_view employee) override {
        if (m_pInner) m_pInner->KeyEmpty(where, table, column, employee);
    }
    void TableNotRead(std::string_view table) override {
        if (m_pInner) m_pInner->TableNotRead(table);
    }
    void EmployeeUnknown(std::string_view code, std::string_view table, std::size_t rows,
                         const LineOrigin& first) override {
        if (m_pInner) m_pInner->EmployeeUnknown(code, table, rows, first);
    }
    void PaymentRowUnmatched(const std::string& code, std::string_view table,
                             std::string_view number, const LineOrigin& where) override {
        if (m_pInner) m_pInner->PaymentRowUnmatched(code, table, number, where);
    }
    void BonusAmountsMissing(const std::string& code, std::string_view number) override {
        if (m_pInner) m_pInner->BonusAmountsMissing(code, number);
    }
    void PaymentsMerged(const std::string& code, int slot,
                        const std::vector<std::string_view>& numbers) override {
        if (m_pInner) m_pInner->PaymentsMerged(code, slot, numbers);
    }

  private:
    ConversionObserver* m_pInner;
};

}  // namespace kw39::cli
