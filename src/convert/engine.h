// CExchangeFromPCAToKw39: one conversion run. Owns the PCA reader, the export
// store and the code conversion tables; loads, converts every employee and has
// the store write the document.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "convert/conversion_observer.h"
#include "convert/payments.h"
#include "export/export_xml.h"
#include "export/field_catalogue.h"
#include "pca/reader.h"
#include "platform/file_system.h"
#include "platform/message.h"
#include "platform/text_hash.h"

namespace kw39 {

// One row of the direct field map: a PCA column copied (or translated through
// the conversion table named after the column) into a target field.
struct DIRECT_ITEM {
    const char* pszTable;
    unsigned char bConvert;
    const char* pszColumn;
    const char* pszLabel;
};

// One row of the code conversion data: in the table named after a PCA column,
// the PCA value `pszFrom` becomes the target value `pszTo`.
struct CONVERT_ITEM {
    const char* pszTable;
    const char* pszFrom;
    const char* pszTo;
};

// The outcome of RunConversion that callers may act on.
enum class RunOutcome {
    Written,      // the document was written
    NoEmployees,  // no employee was loaded: nothing written, no message
    Checked,      // RunCheck: every employee converted, no document made
};

// A label of the document with its slot, found once where the program starts
// rather than for every employee.
struct DocumentLabel {
    explicit DocumentLabel(std::string_view label) : text(label), nSlot(AcceptedLabelSlot(label)) {}
    std::string_view text;
    int nSlot;  // -1: the document does not carry it
};

class CExchangeFromPCAToKw39 {
  public:
    explicit CExchangeFromPCAToKw39(platform::MessageLog& log,
                                    platform::FileSystem& fs = platform::RealFileSystem());
    virtual ~CExchangeFromPCAToKw39();
    CExchangeFromPCAToKw39(const CExchangeFromPCAToKw39&) = delete;
    CExchangeFromPCAToKw39& operator=(const CExchangeFromPCAToKw39&) = delete;

    // Loads the chosen files (in slot order), converts every employee and
    // writes the document; `launchCode` is written as the document's
    // function id. Throws DataLineError or platform::IoError.
    RunOutcome RunConversion(const std::vector<std::string>& inputPaths,
                             const std::string& outputPath, LinkMode mode, int launchCode,
                             const std::string& yearText);

    // RunConversion without a document: the same load, the same conversion and
    // every section made as for the file, but nothing is created (a check of
    // the run). Checked, or NoEmployees. Throws as RunConversion does.
    RunOutcome RunCheck(const std::vector<std::string>& inputPaths, LinkMode mode, int launchCode,
                        const std::string& yearText);

    // Converts every employee of the reader's list and writes the document as
    // it goes: each employee's section is written, and the record dropped, as
    // soon as the employee is converted, and the output is replaced once the
    // document is complete (a failure leaves it as it was). False, with nothing
    // created, when the list is empty. Throws platform::IoError naming
    // `outputPath`.
    bool ConvertAndWriteDocument(const std::string& outputPath, LinkMode mode,
                                 const std::string& functionId, const std::string& yearText);

    // The direct field map, then every field-group converter, in fixed order.
    void ConvertEmployee(const std::string& code);

    CPCAKyuuyo& Reader() { return m_reader; }
    CExportXMLKw39& Store() { return m_store; }

    // Tells `observer` (nullptr: nobody) what the run loads, converts and leaves
    // out. The engine does not own it; it must outlive the conversion.
    void SetObserver(ConversionObserver* observer) {
        m_pObserver = observer;
        m_reader.SetListener(observer);
    }

  private:
    // A conversion table, searched with a string_view.
    using TextMap = platform::TextKeyMap<std::string>;

    // A row of the direct field map with its column and conversion table
    // resolved once for all employees.
    struct ResolvedDirectItem {
        const DIRECT_ITEM* pItem;
        PcaColumn column;
        const TextMap* pTable;  // the conversion table; nullptr when none is named or found
        int nSlot;              // AcceptedLabelSlot of the label
        int nRow = -1;          // index into m_aDirectRows; -1 for an unresolved column
    };

    // Converts every employee into `document` and finishes it.
    void ConvertInto(XmlDocumentFile& document, LinkMode mode);
    // Converts the employees of the list, handing each finished record to
    // `document`.
    void ConvertEmployees(XmlDocumentFile& document);
    ResolvedDirectItem Resolve(const DIRECT_ITEM& item) const;
    void ApplyDirectItem(const std::string& code, const ResolvedDirectItem& item);
    // The target value of `value` in a resolved conversion table ("" when the
    // table has no entry); a missing table logs "変換テーブルが存在しません。".
    std::string_view ConvertWith(const TextMap* table, std::string_view value);

    // One value of a per-employee table (key: the employee code) or a master
    // table (key: the code looked up), by a column resolved once.
    std::string_view Value(const PcaColumn& column, std::string_view key) const;
    // One value of a two-key table by a column resolved once: employee code and
    // second key.
    std::string_view Value(const PcaColumn& column, std::string_view code,
                           std::string_view key2) const;
    // The values of `resultColumn` in the employee's rows of a two-key table
    // (those whose "社員コード" is `code`), in file order. The list belongs to the
    // reader and lives until the next selection.
    const std::vector<std::string_view>& SelectOfEmployee(const PcaColumn& resultColumn,
                                                          std::string_view code);
    // The employee's rows of a two-key table, in file order, for the values of
    // one row read with ValueAt; the list lives until the next selection.
    const std::vector<std::uint32_t>& SelectRowsOfEmployee(const PcaColumn& column,
                                                           std::string_view code);
    // The row of a two-key table under the employee code and second key, as
    // Value finds it, and a value of a row (of the column's table) so found.
    std::size_t RowOf(const PcaColumn& column, std::string_view code, std::string_view key2) const;
    std::string_view ValueAt(const PcaColumn& column, std::size_t row) const;
    // Files a value under a label for the employee (the store keeps a copy).
    void SetData(const std::string& code, std::string_view value, const DocumentLabel& label);

    // Reporting to the observer; called only when one is set.
    // True when a one-key table holds a row under `key` (read back from its key
    // column, resolved once).
    bool HasRow(const PcaColumn& keyColumn, std::string_view key) const;
    void ReportMissingRows(const std::string& code);
    // What the load left that no employee's conversion reaches: the tables no
    // file had, and the rows of employees missing from the employee list.
    void ReportUnreadTables();
    void ReportUnknownEmployees(const std::vector<std::string>& codes);
    // The payment rows of a table ("10702", "10706"; `number` its "支給回")
    // without a row of the head table ("10701", "10705"; `headCode` its
    // "社員コード") under the same number: their numbers by employee code, each
    // employee's in row order. One walk over the table, in the order of its
    // rows, instead of grouping its rows by employee.
    using UnmatchedPayments = std::unordered_map<std::string_view, std::vector<std::string_view>>;
    UnmatchedPayments FindUnmatchedPayments(std::string_view table, const PcaColumn& number,
                                            const PcaColumn& headCode) const;
    void ReportUnmatchedPayments(const std::string& code, std::string_view table,
                                 const UnmatchedPayments& unmatched);
    // The checks of the whole export before the first employee is converted:
    // tables not read, rows of unknown employees, payments without their head
    // row (into `kyuuyo` and `shouyo`).
    void CheckBeforeConverting(const std::vector<std::string>& codes, UnmatchedPayments& kyuuyo,
                               UnmatchedPayments& shouyo);
    // Whether the observer hears of a field filed under `label`: only of what
    // the document's mode writes (everything when converting without one).
    bool Observes(std::string_view label) const;
    void ReportMissingMaster(const std::string& code, std::string_view table,
                             const PcaColumn& keyColumn, std::string_view masterCode);

    // Employee basic information.
    void ConvertSyozokuCode(const std::string& code);
    void ConvertSyozokuName(const std::string& code);
    void ConvertName(const std::string& code);
    void ConvertFurigana(const std::string& code);
    void ConvertYuubinBangou(const std::string& code);
    void ConvertYakusyoku(const std::string& code);
    void ConvertGenkyou(const std::string& code);
    void ConvertNoufusakiCode(const std::string& code);
    void ConvertNoufusakiName(const std::string& code);
    void ConvertSyougaisya(const std::string& code);
    void ConvertKafu(const std::string& code);

    // Spouse and dependants.
    void ConvertHaiguusya(const std::string& code);
    void ConvertHaiguusyaSyougaisya(const std::string& code);
    void ConvertFuyosya(const std::string& code);
    void ConvertFuyouNinzuu(const std::string& code);

    // Computed deductions and the collection method.
    void ConvertSyoukiboKyousai(const std::string& code);
    void ConvertChousyuuHouhou(const std::string& code);

    // Salary and bonus payments: worked out ahead while the employees are
    // converted in list order (m_pAhead), else here.
    void ConvertPayments(const std::string& code);

    platform::MessageLog& m_log;
    CExportXMLKw39 m_store;
    CPCAKyuuyo m_reader;
    // Table name (a PCA column name) -> PCA value -> target value.
    platform::TextKeyMap<TextMap> m_mapTables;
    std::vector<ResolvedDirectItem> m_aDirectItems;  // DirectItems(), resolved
    // The employee's row in each table the direct items read (a column of the
    // table, and the row found for the employee in progress): a table's row is
    // found once for all its items.
    std::vector<PcaColumn> m_aDirectTables;
    std::vector<std::size_t> m_aDirectRows;
    ConversionObserver* m_pObserver = nullptr;  // not owned
    std::optional<LinkMode> m_mode;             // of the document being written
    PaymentConverter m_payments;
    EmployeePayments m_ownPayments;  // of the employee in progress, made by m_payments
    std::unique_ptr<PaymentsAhead> m_pAhead;
};

// The 49 rows of the direct field map, in the order they are applied.
const std::vector<DIRECT_ITEM>& DirectItems();

// The rows the conversion tables are built from, in order.
std::span<const CONVERT_ITEM> ConvertItems();

// At most this many dependants are filed per employee.
inline constexpr int kMaxFuyosya = 20;

}  // namespace kw39
