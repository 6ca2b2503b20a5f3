#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "convert/payments.h"
#include "convert/text_rules.h"
#include "platform/interrupt_cleanup.h"
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
               const std::string& code, std::string_view number,
               std::vector<ConversionFinding>* findings) {
    const double amount = ToReal(text);
    if (std::isfinite(amount) && std::isfinite(sum + amount)) {
        sum += amount;
    } else if (findings) {
        findings->push_back(AbnormalAmount{code, column.table, column.name, number, text});
    }
}

// The month of a salary payment number: every "0" is dropped except from
// "10" itself, so "01" is 1, "012" is 12 and "100" is 1.
std::string NormalisedMonth(std::string_view number) {
    return number == "10" ? std::string(number) : platform::RemoveSingleByte(number, '0');
}

}  // namespace

void PaymentConverter::Convert(const std::string& code, bool observed, EmployeePayments& out) {
    m_bObserved = observed;
    out.records.resize(kSalarySlots + kBonusSlots);
    out.findings.clear();
    ConvertKyuuyo(code, out);
    ConvertShouyo(code, out);
}

void PaymentConverter::GroupTables(const CPCAKyuuyo& reader) {
    reader.GroupRows(kKyuuyoSikyuukai);
    reader.GroupRows(kShouyoSikyuukai);
}

void PaymentConverter::ConvertKyuuyo(const std::string& code, EmployeePayments& out) {
    std::vector<ConversionFinding>* const findings = m_bObserved ? &out.findings : nullptr;
    std::array<PaymentSlot, kSalarySlots> slots{};
    bool decemberTaken = false;
    // The values of one payment are read from its row of 10701 (the one its
    // number came from) and its row of 10702, each found once.
    m_reader.SharedRowsByFirstKey(kKyuuyoSikyuukai, code, m_kyuuyoHeads, m_aRows);
    for (const std::uint32_t head : m_aRows) {
        // Every lookup uses the payment number exactly as PCA wrote it.
        const std::string_view number =
            m_reader.SharedRowValue(kKyuuyoSikyuukai, head, m_kyuuyoHeads);
        const std::size_t detail =
            m_reader.SharedFindRowOf(kKyuuyoSikyuubi, {code, number}, m_kyuuyoDetails);
        const auto valueAt = [&](const PcaColumn& column) {
            return m_reader.SharedRowValue(column, detail, m_kyuuyoDetails);
        };
        const std::string_view date = valueAt(kKyuuyoSikyuubi);
        if (date.size() != kPaymentDateLength) {
            if (findings)
                findings->push_back(KyuuyoLeftOut{code, number, KyuuyoSkip::PaymentDate, date});
            continue;
        }
        const std::string month = NormalisedMonth(number);
        const int n = ToInteger(month);
        if (n < 1 || n > 12) {
            if (findings) findings->push_back(KyuuyoLeftOut{code, number, KyuuyoSkip::Month, date});
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
            AddAmount(sum, valueAt(amount.column), amount, code, number, findings);
        };
        add(slot.total, kKyuuyoKazeiGoukei);
        add(slot.insurance, kKyuuyoSyakaiHoken);
        add(slot.tax, kKyuuyoSyotokuzei);
        // The number is not empty here (its date was found): the row under
        // the employee and this number is the one it came from.
        slot.dependants =
            ToInteger(m_reader.SharedRowValue(kKyuuyoFuyouNinzuu, head, m_kyuuyoHeads));
        if (findings) m_aPaymentNumbers.emplace_back(index, number);
    }
    if (findings) ReportMerged(code, out);
    for (int i = 0; i < kSalarySlots; ++i) MakePayment(i + 1, slots[i], out.records[i]);
}

void PaymentConverter::ConvertShouyo(const std::string& code, EmployeePayments& out) {
    std::vector<ConversionFinding>* const findings = m_bObserved ? &out.findings : nullptr;
    std::array<PaymentSlot, kBonusSlots> slots{};
    m_reader.SharedRowsByFirstKey(kShouyoSikyuukai, code, m_shouyoHeads, m_aRows);
    for (const std::uint32_t head : m_aRows) {
        const std::string_view number =
            m_reader.SharedRowValue(kShouyoSikyuukai, head, m_shouyoHeads);
        const int n = ToInteger(number);
        // A number below 1 (empty or not a number included) names no bonus.
        if (n < 1) {
            if (findings) findings->push_back(ShouyoLeftOut{code, number});
            continue;
        }
        PaymentSlot& slot = slots[std::min(n, kBonusSlots) - 1];
        // The amounts are read from the payment's row of 10706, found once.
        const std::size_t detail =
            m_reader.SharedFindRowOf(kShouyoKazeiGoukei.column, {code, number}, m_shouyoDetails);
        const auto valueAt = [&](const PcaColumn& column) {
            return m_reader.SharedRowValue(column, detail, m_shouyoDetails);
        };
        const auto add = [&](double& sum, const AmountColumn& amount) {
            AddAmount(sum, valueAt(amount.column), amount, code, number, findings);
        };
        add(slot.total, kShouyoKazeiGoukei);
        add(slot.insurance, kShouyoSyakaiHoken);
        add(slot.tax, kShouyoSyotokuzei);
        // The number is not empty here (it names a bonus): the row under the
        // employee and this number is the one it came from.
        slot.dependants =
            ToInteger(m_reader.SharedRowValue(kShouyoFuyouNinzuu, head, m_shouyoHeads));
        if (findings && valueAt(kShouyoMeisaiCode).empty()) {
            findings->push_back(BonusAmountsMissing{code, number});
        }
        if (findings) {
            m_aPaymentNumbers.emplace_back(std::min(n, kBonusSlots) - 1 + kFirstBonusNo - 1,
                                           number);
        }
    }
    if (findings) ReportMerged(code, out);
    for (int j = 0; j < kBonusSlots; ++j) {
        MakePayment(j + kFirstBonusNo, slots[j], out.records[kSalarySlots + j]);
    }
}

void PaymentConverter::ReportMerged(const std::string& code, EmployeePayments& out) {
    std::stable_sort(m_aPaymentNumbers.begin(), m_aPaymentNumbers.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < m_aPaymentNumbers.size();) {
        std::size_t end = i + 1;
        while (end < m_aPaymentNumbers.size() &&
               m_aPaymentNumbers[end].first == m_aPaymentNumbers[i].first) {
            ++end;
        }
        if (end - i > 1) {
            PaymentsMerged merged{code, m_aPaymentNumbers[i].first + 1, {}};
            for (std::size_t j = i; j < end; ++j) {
                merged.numbers.push_back(m_aPaymentNumbers[j].second);
            }
            out.findings.push_back(std::move(merged));
        }
        i = end;
    }
    m_aPaymentNumbers.clear();
}

PaymentsAhead::PaymentsAhead(const CPCAKyuuyo& reader, const std::vector<std::string>& codes,
                             bool observed)
    : m_reader(reader), m_codes(codes), m_bObserved(observed), m_converter(reader) {
    m_thread = platform::StartHelperThread([this]() noexcept { Run(); });
}

PaymentsAhead::~PaymentsAhead() {
    {
        const std::lock_guard lock(m_mutex);
        m_bStop = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable()) m_thread.join();
}

void PaymentsAhead::WaitAsTaker(std::unique_lock<std::mutex>& lock,
                                const std::function<bool()>& done) {
    if (done() || m_failure) return;
    m_bTakerWaiting = true;
    m_changed.wait(lock, [&] { return done() || m_failure; });
    m_bTakerWaiting = false;
}

EmployeePayments* PaymentsAhead::Next(const std::string& code) {
    if (!m_thread.joinable()) return nullptr;
    std::unique_lock lock(m_mutex);
    if (m_nTaken >= m_codes.size() || m_codes[m_nTaken] != code) {
        // The caller works them out itself, from the groups of rows this
        // thread makes first: not while it makes them.
        WaitAsTaker(lock, [&] { return m_bGrouped; });
        if (!m_bGrouped) std::rethrow_exception(m_failure);
        return nullptr;
    }
    const std::size_t index = m_nTaken;
    // The slot of the employee taken before is free from now on. The thread,
    // once the slots are full, is woken when half of them are free again, not
    // for every one: a wake-up costs more than working out one employee.
    m_nTaken = index + 1;
    if (m_bMakerWaiting && m_nTaken + kAhead / 2 >= m_nMade + 1) m_changed.notify_all();
    WaitAsTaker(lock, [&] { return m_nMade > index; });
    if (m_nMade <= index) std::rethrow_exception(m_failure);
    return &m_aSlots[index % kAhead];
}

void PaymentsAhead::Fail(std::exception_ptr failure) {
    const std::lock_guard lock(m_mutex);
    m_failure = std::move(failure);
    m_changed.notify_all();
}

void PaymentsAhead::Run() noexcept {
    // The tables are grouped here, while the checks before the conversion
    // run on the calling thread; they read none of the groups.
    try {
        PaymentConverter::GroupTables(m_reader);
    } catch (...) {
        Fail(std::current_exception());
        return;
    }
    {
        const std::lock_guard lock(m_mutex);
        m_bGrouped = true;
        if (m_bTakerWaiting) m_changed.notify_all();
    }
    for (std::size_t i = 0; i < m_codes.size(); ++i) {
        {
            std::unique_lock lock(m_mutex);
            // Slot i % kAhead was last used by employee i - kAhead, which must
            // have been taken and left behind.
            if (!m_bStop && i + 1 >= m_nTaken + kAhead) {
                m_bMakerWaiting = true;
                m_changed.wait(lock, [&] { return m_bStop || i + 1 < m_nTaken + kAhead; });
                m_bMakerWaiting = false;
            }
            if (m_bStop) return;
        }
        try {
            m_converter.Convert(m_codes[i], m_bObserved, m_aSlots[i % kAhead]);
        } catch (...) {
            Fail(std::current_exception());
            return;
        }
        const std::lock_guard lock(m_mutex);
        m_nMade = i + 1;
        if (m_bTakerWaiting) m_changed.notify_all();
    }
}

}  // namespace kw39
