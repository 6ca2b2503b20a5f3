// The records that cross from the converters to the export store, by value.
#pragma once

#include <string>

namespace kw39 {

// One dependant.
class CFuyosya {
  public:
    CFuyosya() = default;
    virtual ~CFuyosya() = default;
    // Moved, not copied, into the store.
    CFuyosya(const CFuyosya&) = default;
    CFuyosya(CFuyosya&&) noexcept = default;
    CFuyosya& operator=(const CFuyosya&) = default;
    CFuyosya& operator=(CFuyosya&&) noexcept = default;
    std::string m_strName;         // family and given name joined
    std::string m_strZokugara;     // relationship
    std::string m_strSeinengappi;  // birth date
    std::string m_strFuyoukubun;   // dependant category
    std::string m_strSyougaisya;   // disability category
};

// One payment: 1 to 12 the salary of that month, 13 a second December salary,
// 14 to 18 bonus payments 1 to 5.
class CKyuuyoShouyo {
  public:
    CKyuuyoShouyo() = default;
    virtual ~CKyuuyoShouyo() = default;
    // Moved, not copied, into the store.
    CKyuuyoShouyo(const CKyuuyoShouyo&) = default;
    CKyuuyoShouyo(CKyuuyoShouyo&&) noexcept = default;
    CKyuuyoShouyo& operator=(const CKyuuyoShouyo&) = default;
    CKyuuyoShouyo& operator=(CKyuuyoShouyo&&) noexcept = default;
    int m_nNo = -1;
    std::string m_strSousikyuugaku;    // total paid
    std::string m_strHokenkoujogaku;   // social-insurance deduction
    std::string m_strFuyousinzokusuu;  // number of dependants
    std::string m_strSansyutuzeigaku;  // calculated tax
};

}  // namespace kw39
