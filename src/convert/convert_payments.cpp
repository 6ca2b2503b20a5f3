// Salary and bonus payments: the payments of the monthly data, added up into
// 13 salary and 5 bonus records per employee.
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>
#include <utility>

#include "convert/engine.h"
#include "convert/text_rules.h"
#include "platform/sjis.h"

namespace kw39 {

namespace {

constexpr int kSalarySlots = 13;  // months 1 to 12 and a second December payment
constexpr int kDecemberSlot = 11;
constexpr int kSecondDecemberSlot = 12;
constexpr int kBonusSlots = 5;  // bonus payments 1 to 4, the fifth and later together
constexpr int kFirstBonusNo = 14;

// The payment dates PCA writes as YYYYMMDD; a payment without one is not counted.
constexpr std::size_t kPaymentDateLength = 8;

// The columns read here, resolved once.
const PcaColumn kKyuuyoSikyuukai = FindPcaColumn("10701", "支給回");
const PcaColumn kShouyoSikyuukai = FindPcaColumn("10705", "支給回");
const PcaColumn kKyuuyoSikyuubi = FindPcaColumn("10702", "支給日");
const PcaColumn kKyuuyoFuyouNinzuu = FindPcaColumn("10701", "扶養親族等の数");
const PcaColumn kShouyoFuyouNinzuu = FindPcaColumn("10705", "扶養親族等の数");
const PcaColumn kShouyoMeisaiCode = FindPcaColumn("10706", "社員コード");

// An amount column, named for the observer.
struct AmountColumn {
    std::string_view table;
    std::string_view name;
    PcaColumn column = FindPcaColumn(table, name);
};

const AmountColumn kKyuuyoKazeiGoukei{"10702", "課税合計"};
const AmountColumn kKyuuyoSyakaiHoken{"10702", "社会保険合計"};
const AmountColumn kKyuuyoSyotokuzei{"10702", "所得税"};
const AmountColumn kShouyoKazeiGoukei{"10706", "課税合計"};
const AmountColumn kShouyoSyakaiHoken{"10706", "社会保険合計"};
const AmountColumn kShouyoSyotokuzei{"10706", "所得税"};

struct PaymentSlot {
    double total = 0.0;
    double insurance = 0.0;
    double tax = 0.0;
    int dependants = 0;
};

// Writes the record of one slot over `payment`. A slot whose total rounds to
// zero counts as empty and keeps only its values that are not zero.
void MakePayment(int no, const PaymentSlot& slot, CKyuuyoShouyo& payment) {
    payment.m_nNo = no;
    FormatWhole(slot.total, payment.m_strSousikyuugaku);
    const bool empty = payment.m_strSousikyuugaku == "0";
    const auto unlessEmptyZero = [empty](std::string& text) {
        if (empty && text == "0") text.clear();
    };
    unlessEmptyZero(payment.m_strSousikyuugaku);
    FormatWhole(slot.insurance, payment.m_strHokenkoujogaku);
    unlessEmptyZero(payment.m_strHokenkoujogaku);
    char digits[16];
    payment.m_strFuyousinzokusuu.assign(
        digits, std::to_chars(digits, digits + sizeof digits, slot.dependants).ptr);
    unlessEmptyZero(payment.m_strFuyousinzokusuu);
    FormatWhole(slot.tax, payment.m_strSansyutuzeigaku);
    unlessEmptyZero(payment.m_strSansyutuzeigaku);
}

// Adds the amount `text` to `sum`. An amount that is no finite number, or that
// would make the sum none, counts as 0, so that the document never carries
// "inf"; the observer is told.
void AddAmount(double& sum, std::string_view text, const AmountColumn& column,
               const std::string& code, std::string_view number, ConversionObserver* observer) {
    const double amount = ToReal(text);
    if (std::isfinite(amount) && std::isfinite(sum + amount)) {
        sum += amount;
    } else if (observer) {
        observer->Found(AbnormalAmount{code, column.table, column.name, number, text});
    }
}

// The month of a salary payment number: every "0" is dropped except from
// "10" itself, so "01" is 1, "012" is 12 and "100" is 1.
std::string NormalisedMonth(std::string_view number) {
    return number == "10" ? std::string(number) : platform::RemoveSingleByte(number, '0');
}

}  // namespace

void CExchangeFromPCAToKw39::ConvertKyuuyo(const std::string& code) {
    std::array<PaymentSlot, kSalarySlots> slots{};
    bool decemberTaken = false;
    // The values of one payment are read from its row of 10701 (the one its
    // number came from) and its row of 10702, each found once.
    for (const std::uint32_t head : SelectRowsOfEmployee(kKyuuyoSikyuukai, code)) {
        // Every lookup uses the payment number exactly as PCA wrote it.
        const std::string_view number = ValueAt(kKyuuyoSikyuukai, head);
        const std::size_t detail = RowOf(kKyuuyoSikyuubi, code, number);
        const std::string_view date = ValueAt(kKyuuyoSikyuubi, detail);
        if (date.size() != kPaymentDateLength) {
            if (m_pObserver)
                m_pObserver->Found(KyuuyoLeftOut{code, number, KyuuyoSkip::PaymentDate, date});
            continue;
        }
        const std::string month = NormalisedMonth(number);
        const int n = ToInteger(month);
        if (n < 1 || n > 12) {
            if (m_pObserver)
                m_pObserver->Found(KyuuyoLeftOut{code, number, KyuuyoSkip::Month, date});
            continue;
        }
        int index = n - 1;
        if (month == "12") {
            if (decemberTaken) {
                index = kSecondDecemberSlot;
            } else {
                decemberTaken = true;
                index = kDecemberSlot;
            }
        }
        PaymentSlot& slot = slots[index];
        const auto add = [&](double& sum, const AmountColumn& amount) {
            AddAmount(sum, ValueAt(amount.column, detail), amount, code, number, m_pObserver);
        };
        add(slot.total, kKyuuyoKazeiGoukei);
        add(slot.insurance, kKyuuyoSyakaiHoken);
        add(slot.tax, kKyuuyoSyotokuzei);
        // The number is not empty here (its date was found): the row under
        // the employee and this number is the one it came from.
        slot.dependants = ToInteger(ValueAt(kKyuuyoFuyouNinzuu, head));
        if (m_pObserver) m_aPaymentNumbers.emplace_back(index, number);
    }
    if (m_pObserver) ReportMergedPayments(code);
    CKyuuyoShouyo payment;
    for (int i = 0; i < kSalarySlots; ++i) {
        MakePayment(i + 1, slots[i], payment);
        m_store.SetKyuuyoShouyo(code, std::move(payment));
    }
}

void CExchangeFromPCAToKw39::ConvertShouyo(const std::string& code) {
    std::array<PaymentSlot, kBonusSlots> slots{};
    for (const std::string_view number : SelectOfEmployee(kShouyoSikyuukai, code)) {
        const int n = ToInteger(number);
        // A number below 1 (empty or not a number included) names no bonus.
        if (n < 1) {
            if (m_pObserver) m_pObserver->Found(ShouyoLeftOut{code, number});
            continue;
        }
        PaymentSlot& slot = slots[std::min(n, kBonusSlots) - 1];
        // The amounts are read from the payment's row of 10706, found once.
        const std::size_t detail = RowOf(kShouyoKazeiGoukei.column, code, number);
        const auto add = [&](double& sum, const AmountColumn& amount) {
            AddAmount(sum, ValueAt(amount.column, detail), amount, code, number, m_pObserver);
        };
        add(slot.total, kShouyoKazeiGoukei);
        add(slot.insurance, kShouyoSyakaiHoken);
        add(slot.tax, kShouyoSyotokuzei);
        slot.dependants = ToInteger(Value(kShouyoFuyouNinzuu, code, number));
        if (m_pObserver && ValueAt(kShouyoMeisaiCode, detail).empty()) {
            m_pObserver->Found(BonusAmountsMissing{code, number});
        }
        if (m_pObserver) {
            m_aPaymentNumbers.emplace_back(std::min(n, kBonusSlots) - 1 + kFirstBonusNo - 1,
                                           number);
        }
    }
    if (m_pObserver) ReportMergedPayments(code);
    CKyuuyoShouyo payment;
    for (int j = 0; j < kBonusSlots; ++j) {
        MakePayment(j + kFirstBonusNo, slots[j], payment);
        m_store.SetKyuuyoShouyo(code, std::move(payment));
    }
}

}  // namespace kw39
