// The salary and bonus payments of the employees: the payments of the monthly
// data, added up into 13 salary and 5 bonus records per employee. They are
// worked out apart from the rest of an employee's conversion, so that for a
// large export a second thread can work them out ahead of it.
#pragma once

#include <array>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "convert/conversion_observer.h"
#include "export/records.h"
#include "pca/reader.h"

namespace kw39 {

// The records of one employee's payments, and what the observer is to be
// told of them, in order.
struct EmployeePayments {
    std::vector<CKyuuyoShouyo> records;  // 13 salary records, then 5 bonus records
    std::vector<ConversionFinding> findings;
};

// Works out employees' payments from the loaded tables. It reads the reader as
// a second thread may, changing nothing in it.
class PaymentConverter {
  public:
    explicit PaymentConverter(const CPCAKyuuyo& reader) : m_reader(reader) {}
    // Overwrites `out` with the payments of `code`; the findings only when
    // `observed`. The views of the findings live as long as `code`.
    void Convert(const std::string& code, bool observed, EmployeePayments& out);
    // Groups the rows of the tables selected from. While it runs, nothing else
    // may read those groups (other threads may read the rest of the reader).
    static void GroupTables(const CPCAKyuuyo& reader);

  private:
    void ConvertKyuuyo(const std::string& code, EmployeePayments& out);
    void ConvertShouyo(const std::string& code, EmployeePayments& out);
    // The findings of the records that took more than one payment; the pairs
    // of m_aPaymentNumbers are (record index, number).
    void ReportMerged(const std::string& code, EmployeePayments& out);

    const CPCAKyuuyo& m_reader;
    bool m_bObserved = false;
    // One lookup per table: 10701, 10702, 10705, 10706.
    CPCAKyuuyo::SharedLookup m_kyuuyoHeads;
    CPCAKyuuyo::SharedLookup m_kyuuyoDetails;
    CPCAKyuuyo::SharedLookup m_shouyoHeads;
    CPCAKyuuyo::SharedLookup m_shouyoDetails;
    std::vector<std::uint32_t> m_aRows;
    std::vector<std::pair<int, std::string_view>> m_aPaymentNumbers;
};

// The payments of a list of employees, worked out in list order on a second
// thread, a limited number ahead of the thread that takes them.
class PaymentsAhead {
  public:
    // Starts the thread, which first groups the rows of the tables the
    // payments are read from: until Next is called, nothing else may read
    // those groups. `codes` must outlive this.
    PaymentsAhead(const CPCAKyuuyo& reader, const std::vector<std::string>& codes, bool observed);
    // Stops the thread wherever it is.
    ~PaymentsAhead();
    PaymentsAhead(const PaymentsAhead&) = delete;
    PaymentsAhead& operator=(const PaymentsAhead&) = delete;

    // The payments of the next employee of the list, waiting for them, valid
    // until the next call; nullptr when `code` is not that employee or no
    // thread could be started (the caller then works them out itself).
    // Throws what working them out threw.
    EmployeePayments* Next(const std::string& code);

  private:
    void Run() noexcept;
    // Waits on the caller's side until `done` or a failure, telling the
    // thread that it waits.
    void WaitAsTaker(std::unique_lock<std::mutex>& lock, const std::function<bool()>& done);
    // Keeps what the thread failed with for the caller, who is woken.
    void Fail(std::exception_ptr failure);

    static constexpr std::size_t kAhead = 256;
    const CPCAKyuuyo& m_reader;
    const std::vector<std::string>& m_codes;
    const bool m_bObserved;
    PaymentConverter m_converter;
    std::array<EmployeePayments, kAhead> m_aSlots;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::size_t m_nMade = 0;   // employees worked out
    std::size_t m_nTaken = 0;  // employees taken; the slots of those before the last are free
    bool m_bTakerWaiting = false;
    bool m_bMakerWaiting = false;
    bool m_bStop = false;
    bool m_bGrouped = false;       // the tables the payments are read from
    std::exception_ptr m_failure;  // of employee m_nMade, or of the grouping
    std::thread m_thread;
};

}  // namespace kw39
