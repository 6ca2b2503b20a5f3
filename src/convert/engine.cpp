#include "convert/engine.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <thread>
#include <unordered_map>
#include <unordered_set>

#include "export/document_file.h"
#include "export/field_catalogue.h"
#include "platform/interrupt_cleanup.h"
#include "platform/messages.h"

namespace kw39 {

namespace {

// The columns the report's checks read for every employee, resolved once.
const PcaColumn kKyuuyoSikyuukai = FindPcaColumn("10702", "支給回");
const PcaColumn kShouyoSikyuukai = FindPcaColumn("10706", "支給回");
const PcaColumn kKyuuyoHeadCode = FindPcaColumn("10701", "社員コード");
const PcaColumn kShouyoHeadCode = FindPcaColumn("10705", "社員コード");

struct RequiredTable {
    std::string_view table;
    PcaColumn code = FindPcaColumn(table, "社員コード");
};
const RequiredTable kRequiredTables[] = {{"10603"}, {"10611"}, {"10801"}};

}  // namespace

CExchangeFromPCAToKw39::CExchangeFromPCAToKw39(platform::MessageLog& log, platform::FileSystem& fs)
    : m_log(log), m_store(log, fs), m_reader(log, fs), m_payments(m_reader) {
    for (const CONVERT_ITEM& item : ConvertItems()) {
        m_mapTables[item.pszTable][item.pszFrom] = item.pszTo;
    }
    // The tables are complete and never change again, so pointers into them
    // stay valid.
    for (const DIRECT_ITEM& item : DirectItems()) {
        ResolvedDirectItem& resolved = m_aDirectItems.emplace_back(Resolve(item));
        if (resolved.column.nTable < 0) continue;
        const auto known =
            std::find_if(m_aDirectTables.begin(), m_aDirectTables.end(),
                         [&](const PcaColumn& c) { return c.nTable == resolved.column.nTable; });
        resolved.nRow = static_cast<int>(known - m_aDirectTables.begin());
        if (known == m_aDirectTables.end()) m_aDirectTables.push_back(resolved.column);
    }
    m_aDirectRows.resize(m_aDirectTables.size());
    // Every column the conversion reads is resolved by now (the converters'
    // columns when the program starts, the direct map's just above): the
    // store need not keep the others.
    m_reader.KeepResolvedColumns();
}

CExchangeFromPCAToKw39::~CExchangeFromPCAToKw39() = default;

RunOutcome CExchangeFromPCAToKw39::RunConversion(const std::vector<std::string>& inputPaths,
                                                 const std::string& outputPath, LinkMode mode,
                                                 int launchCode, const std::string& yearText) {
    // The load result is not consulted: a failed load leaves the employee list
    // empty, and the conversion below then ends the run.
    m_reader.ReadDataFiles(inputPaths, static_cast<int>(inputPaths.size()));
    if (!ConvertAndWriteDocument(outputPath, mode, std::to_string(launchCode), yearText)) {
        return RunOutcome::NoEmployees;
    }
    return RunOutcome::Written;
}

bool CExchangeFromPCAToKw39::ConvertAndWriteDocument(const std::string& outputPath, LinkMode mode,
                                                     const std::string& functionId,
                                                     const std::string& yearText) {
    // Without employees there is no document, and no file is created.
    if (m_reader.GetEmployeeCodes().empty()) return false;
    const std::unique_ptr<XmlDocumentFile> document =
        m_store.OpenDocument(outputPath, mode, functionId, m_reader.GetCompanyName(), yearText);
    ConvertInto(*document, mode);
    return true;
}

RunOutcome CExchangeFromPCAToKw39::RunCheck(const std::vector<std::string>& inputPaths,
                                            LinkMode mode, int launchCode,
                                            const std::string& yearText) {
    m_reader.ReadDataFiles(inputPaths, static_cast<int>(inputPaths.size()));
    if (m_reader.GetEmployeeCodes().empty()) return RunOutcome::NoEmployees;
    XmlDocumentFile document(mode, std::to_string(launchCode), m_reader.GetCompanyName(), yearText);
    ConvertInto(document, mode);
    return RunOutcome::Checked;
}

void CExchangeFromPCAToKw39::ConvertInto(XmlDocumentFile& document, LinkMode mode) {
    m_mode = mode;
    ConvertEmployees(document);
    m_mode.reset();
    document.Finish();
}

// The salary payments of a large export, its largest table, are matched on a
// second thread while the other checks run here.
void CExchangeFromPCAToKw39::CheckBeforeConverting(const std::vector<std::string>& codes,
                                                   UnmatchedPayments& kyuuyo,
                                                   UnmatchedPayments& shouyo) {
    // Below this many rows (200 employees' twelve months) a thread costs more
    // than it saves.
    constexpr std::size_t kLeastRowsAside = 2400;
    std::exception_ptr failure;
    std::thread salaries;
    if (m_reader.RowCount("10702") >= kLeastRowsAside) {
        salaries = platform::StartHelperThread([&]() noexcept {
            try {
                kyuuyo = FindUnmatchedPayments("10702", kKyuuyoSikyuukai, kKyuuyoHeadCode);
            } catch (...) {
                failure = std::current_exception();
            }
        });
    }
    const bool aside = salaries.joinable();
    try {
        ReportUnreadTables();
        ReportUnknownEmployees(codes);
        shouyo = FindUnmatchedPayments("10706", kShouyoSikyuukai, kShouyoHeadCode);
        if (!aside) kyuuyo = FindUnmatchedPayments("10702", kKyuuyoSikyuukai, kKyuuyoHeadCode);
    } catch (...) {
        if (salaries.joinable()) salaries.join();
        throw;
    }
    if (salaries.joinable()) salaries.join();
    if (failure) std::rethrow_exception(failure);
}

void CExchangeFromPCAToKw39::ConvertEmployees(XmlDocumentFile& document) {
    const std::vector<std::string>& codes = m_reader.GetEmployeeCodes();
    // The payments of a large export are worked out on a second thread, ahead
    // of the rest, from the start of the checks on; below this many employees
    // a thread costs more than it saves.
    constexpr std::size_t kLeastEmployeesAhead = 200;
    if (codes.size() >= kLeastEmployeesAhead) {
        m_pAhead = std::make_unique<PaymentsAhead>(m_reader, codes, m_pObserver != nullptr);
    }
    // Stopped on every way out: the list it works through is the reader's.
    struct StopAhead {
        std::unique_ptr<PaymentsAhead>& ahead;
        ~StopAhead() { ahead.reset(); }
    } stopAhead{m_pAhead};
    UnmatchedPayments unmatchedKyuuyo;
    UnmatchedPayments unmatchedShouyo;
    if (m_pObserver) {
        CheckBeforeConverting(codes, unmatchedKyuuyo, unmatchedShouyo);
        m_pObserver->ConversionStarted(m_reader.GetCompanyName(), codes.size());
    }
    for (const std::string& code : codes) {
        ConvertEmployee(code);
        if (m_pObserver) {
            ReportMissingRows(code);
            ReportUnmatchedPayments(code, "10702", unmatchedKyuuyo);
            ReportUnmatchedPayments(code, "10706", unmatchedShouyo);
            const SYAINDATA* syain = m_store.FindSyain(code);
            m_pObserver->EmployeeConverted(code, syain ? syain->strName : std::string());
        }
        // Each employee's record is complete once converted (no later employee
        // files anything under its code), so it can go into the document now.
        m_store.WriteHeldSyain(document);
    }
}

void CExchangeFromPCAToKw39::ConvertEmployee(const std::string& code) {
    // The direct map comes first so that every employee gets a record, in
    // list order, and so that the status converter can replace its word.
    for (std::size_t i = 0; i < m_aDirectTables.size(); ++i) {
        m_aDirectRows[i] = m_reader.FindRowOf(m_aDirectTables[i], {code});
    }
    for (const ResolvedDirectItem& item : m_aDirectItems) ApplyDirectItem(code, item);

    ConvertSyozokuCode(code);
    ConvertSyozokuName(code);
    ConvertName(code);
    ConvertFurigana(code);
    ConvertYuubinBangou(code);
    ConvertYakusyoku(code);
    ConvertGenkyou(code);
    ConvertNoufusakiCode(code);
    ConvertNoufusakiName(code);
    ConvertSyougaisya(code);
    ConvertKafu(code);

    ConvertHaiguusya(code);
    ConvertHaiguusyaSyougaisya(code);
    ConvertFuyosya(code);
    ConvertFuyouNinzuu(code);

    ConvertSyoukiboKyousai(code);
    ConvertChousyuuHouhou(code);

    ConvertPayments(code);
}

void CExchangeFromPCAToKw39::ConvertPayments(const std::string& code) {
    EmployeePayments* payments = m_pAhead ? m_pAhead->Next(code) : nullptr;
    if (!payments) {
        m_payments.Convert(code, m_pObserver != nullptr, m_ownPayments);
        payments = &m_ownPayments;
    }
    if (m_pObserver) {
        for (const ConversionFinding& finding : payments->findings) m_pObserver->Found(finding);
    }
    for (CKyuuyoShouyo& record : payments->records) {
        m_store.SetKyuuyoShouyo(code, std::move(record));
    }
}

CExchangeFromPCAToKw39::ResolvedDirectItem CExchangeFromPCAToKw39::Resolve(
    const DIRECT_ITEM& item) const {
    const auto table = m_mapTables.find(std::string_view(item.pszColumn));
    return {&item, FindPcaColumn(item.pszTable, item.pszColumn),
            table == m_mapTables.end() ? nullptr : &table->second,
            AcceptedLabelSlot(item.pszLabel)};
}

void CExchangeFromPCAToKw39::ApplyDirectItem(const std::string& code,
                                             const ResolvedDirectItem& resolved) {
    const DIRECT_ITEM& item = *resolved.pItem;
    // What Value(resolved.column, code) reads, from the row found before.
    std::string_view value =
        resolved.nRow < 0
            ? std::string_view()
            : ValueAt(resolved.column, m_aDirectRows[static_cast<std::size_t>(resolved.nRow)]);
    if (item.bConvert == 1) {
        // The table resolved for the item is the one named by its column.
        const bool unknown =
            m_pObserver && !value.empty() &&
            (!resolved.pTable || resolved.pTable->find(value) == resolved.pTable->end());
        const std::string_view read = value;
        value = ConvertWith(resolved.pTable, value);
        if (unknown && Observes(item.pszLabel)) {
            m_pObserver->Found(
                UnconvertedCode{code, item.pszTable, item.pszColumn, read, {}, value});
        }
    }
    // A single blank counts as an empty value; anything longer stays as read.
    if (value == " ") value = {};
    m_store.SetDataInSlot(code, value, resolved.nSlot);
}

std::string_view CExchangeFromPCAToKw39::ConvertWith(const TextMap* table, std::string_view value) {
    if (!table) {
        m_log.Add(platform::MakeMessage(platform::MessageId::ConversionTableMissing,
                                        platform::MessageStyle::Warning));
        return {};
    }
    const auto entry = table->find(value);
    return entry == table->end() ? std::string_view() : std::string_view(entry->second);
}

std::string_view CExchangeFromPCAToKw39::Value(const PcaColumn& column,
                                               std::string_view key) const {
    return m_reader.GetValue(column, {key});
}

std::string_view CExchangeFromPCAToKw39::Value(const PcaColumn& column, std::string_view code,
                                               std::string_view key2) const {
    return m_reader.GetValue(column, {code, key2});
}

const std::vector<std::string_view>& CExchangeFromPCAToKw39::SelectOfEmployee(
    const PcaColumn& resultColumn, std::string_view code) {
    // "社員コード" is the first key column of every table selected from.
    return m_reader.SelectByFirstKey(resultColumn, code);
}

const std::vector<std::uint32_t>& CExchangeFromPCAToKw39::SelectRowsOfEmployee(
    const PcaColumn& column, std::string_view code) {
    return m_reader.SelectRowsByFirstKey(column, code);
}

std::size_t CExchangeFromPCAToKw39::RowOf(const PcaColumn& column, std::string_view code,
                                          std::string_view key2) const {
    return m_reader.FindRowOf(column, {code, key2});
}

std::string_view CExchangeFromPCAToKw39::ValueAt(const PcaColumn& column, std::size_t row) const {
    return m_reader.RowValue(column, row);
}

bool CExchangeFromPCAToKw39::HasRow(const PcaColumn& keyColumn, std::string_view key) const {
    // A stored row holds its own key, which is never empty.
    return !Value(keyColumn, key).empty();
}

void CExchangeFromPCAToKw39::ReportMissingRows(const std::string& code) {
    for (const RequiredTable& required : kRequiredTables) {
        if (!HasRow(required.code, code)) m_pObserver->Found(RowMissing{code, required.table});
    }
}

void CExchangeFromPCAToKw39::ReportUnreadTables() {
    for (const PCATABLEINFO& table : PcaCatalogue()) {
        if (!m_reader.SectionRead(table.strCode)) m_pObserver->Found(TableNotRead{table.strCode});
    }
}

void CExchangeFromPCAToKw39::ReportUnknownEmployees(const std::vector<std::string>& codes) {
    const std::unordered_set<std::string_view> known(codes.begin(), codes.end());
    for (const PCATABLEINFO& table : PcaCatalogue()) {
        if (table.strCode == "10601" || !IsEmployeeTable(table)) continue;
        // Per unknown code, in the order of its first row: the row count and that row.
        std::vector<std::pair<std::string_view, std::pair<std::size_t, std::size_t>>> unknown;
        std::unordered_map<std::string_view, std::size_t> index;
        m_reader.ForEachFirstValueRun(
            table.strCode, [&](std::string_view code, std::size_t first, std::size_t rows) {
                // An empty code is told by the reader, line by line.
                if (code.empty() || known.count(code) != 0) return;
                const auto [entry, added] = index.try_emplace(code, unknown.size());
                if (added) {
                    unknown.push_back({code, {rows, first}});
                } else {
                    unknown[entry->second].second.first += rows;
                }
            });
        for (const auto& [code, count] : unknown) {
            m_pObserver->Found(EmployeeUnknown{code, table.strCode, count.first,
                                               m_reader.RowOrigin(table.strCode, count.second)});
        }
    }
}

CExchangeFromPCAToKw39::UnmatchedPayments CExchangeFromPCAToKw39::FindUnmatchedPayments(
    std::string_view table, const PcaColumn& number, const PcaColumn& headCode) const {
    UnmatchedPayments unmatched;
    CPCAKyuuyo::SharedLookup lookup;
    // Read as a second thread may: it changes nothing in the reader. The
    // first key column of the payment tables is "社員コード".
    m_reader.ForEachFirstValueRun(
        table, [&](std::string_view code, std::size_t first, std::size_t rows) {
            // The lines of the employee "" are each told by the reader, and no
            // lookup of a payment row reaches them.
            if (code.empty()) return;
            for (std::size_t row = first; row < first + rows; ++row) {
                const std::string_view key2 = m_reader.SharedRowValue(number, row);
                // An empty number is told by the reader.
                if (key2.empty() || m_reader.SharedHasRow(headCode, code, key2, lookup)) continue;
                unmatched[code].push_back(key2);
            }
        });
    return unmatched;
}

void CExchangeFromPCAToKw39::ReportUnmatchedPayments(const std::string& code,
                                                     std::string_view table,
                                                     const UnmatchedPayments& unmatched) {
    const auto found = unmatched.find(code);
    if (found == unmatched.end()) return;
    for (const std::string_view key2 : found->second) {
        m_pObserver->Found(
            PaymentRowUnmatched{code, table, key2, m_reader.RowOrigin(table, {code, key2})});
    }
}

bool CExchangeFromPCAToKw39::Observes(std::string_view label) const {
    return m_pObserver && (!m_mode || IsLabelWrittenInMode(label, *m_mode));
}

void CExchangeFromPCAToKw39::ReportMissingMaster(const std::string& code, std::string_view table,
                                                 const PcaColumn& keyColumn,
                                                 std::string_view masterCode) {
    if (!masterCode.empty() && !HasRow(keyColumn, masterCode)) {
        m_pObserver->Found(MasterCodeNotFound{code, table, masterCode});
    }
}

void CExchangeFromPCAToKw39::SetData(const std::string& code, std::string_view value,
                                     const DocumentLabel& label) {
    m_store.SetDataInSlot(code, value, label.nSlot);
}

}  // namespace kw39
