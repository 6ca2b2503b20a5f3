#include "run/findings_collector.h"

#include <variant>

#include "convert/engine.h"
#include "platform/messages.h"
#include "platform/sjis.h"
#include "run/input_slots.h"

namespace kw39 {

using platform::MessageId;
using platform::TextOf;

namespace {

struct TableWords {
    std::string_view table;
    MessageId what;        // the table as the clerk knows it
    std::string_view key;  // its code column, for the master tables
};

constexpr TableWords kTables[] = {
    {"10603", MessageId::TableTax, ""},
    {"10611", MessageId::TableResidenceTax, ""},
    {"10801", MessageId::TableYearEnd, ""},
    {"10301", MessageId::TableDepartments, "部門コード"},
    {"10103", MessageId::TablePositions, "役職コード"},
    {"10501", MessageId::TablePayees, "総括表提出先コード"},
};

const TableWords& WordsOf(std::string_view table) {
    for (const TableWords& words : kTables) {
        if (words.table == table) return words;
    }
    static const TableWords unknown{"", MessageId::None, "コード"};
    return unknown;
}

// The first bytes of a data line, never ending inside a double-byte character.
std::string_view LineStart(std::string_view line) {
    constexpr std::size_t kShownBytes = 40;
    std::size_t end = 0;
    while (end < line.size()) {
        const std::size_t next = end + platform::CharLength(line, end);
        if (next > kShownBytes) break;
        end = next;
    }
    return line.substr(0, end);
}

// A view into the loaded data as a value of a message.
std::string Text(std::string_view text) { return std::string(text); }

// "KOJINQ.CSV の 12 行目"
std::string Place(const LineOrigin& where) {
    if (where.line == 0) return TextOf(MessageId::FindingPlaceUnknown);
    return TextOf(MessageId::FindingPlace,
                  {platform::ShownPath(where.path), std::to_string(where.line)});
}

// The table named for the clerk: "税 (10603)", or the code alone.
std::string TableName(std::string_view table) {
    const MessageId what = WordsOf(table).what;
    if (what == MessageId::None) return Text(table);
    return TextOf(what) + " (" + Text(table) + ")";
}

}  // namespace

std::string_view FindingKindName(FindingKind kind) {
    // In the order of FindingKind.
    constexpr MessageId kNames[kFindingKindCount] = {
        MessageId::KindFuyosyaLeftOut, MessageId::KindKyuuyoLeftOut,
        MessageId::KindShouyoLeftOut,  MessageId::KindCodeNotConverted,
        MessageId::KindRowMissing,     MessageId::KindMasterNotFound,
        MessageId::KindQuoteMismatch,  MessageId::KindAmountAbnormal,
        MessageId::KindInputMissing,   MessageId::KindEmployeeUnknown,
        MessageId::KindLinesIgnored,   MessageId::KindFieldOverwritten,
        MessageId::KindKeyEmpty,       MessageId::KindPaymentsMerged,
    };
    const auto index = static_cast<std::size_t>(kind);
    return index < kFindingKindCount ? platform::JapaneseText(kNames[index]) : std::string_view();
}

void FindingsCollector::ConversionStarted(std::string_view companyName, std::size_t employees) {
    m_strCompanyName = companyName;
    m_mapLoadFindings.clear();
    for (std::size_t i = m_nEmployeeFirst; i < m_aFindings.size(); ++i) {
        const std::string& code = m_aFindings[i].employeeCode;
        if (!code.empty()) m_mapLoadFindings.emplace(code, i);
    }
    m_nEmployeeFirst = m_aFindings.size();
    if (m_pNext) m_pNext->ConversionStarted(companyName, employees);
}

void FindingsCollector::EmployeeConverted(const std::string& code, std::string_view name) {
    for (std::size_t i = m_nEmployeeFirst; i < m_aFindings.size(); ++i) {
        if (m_aFindings[i].employeeCode == code) m_aFindings[i].employeeName = name;
    }
    m_nEmployeeFirst = m_aFindings.size();
    const auto [first, last] = m_mapLoadFindings.equal_range(code);
    for (auto it = first; it != last; ++it) m_aFindings[it->second].employeeName = name;
    if (m_pNext) m_pNext->EmployeeConverted(code, name);
}

void FindingsCollector::Add(FindingKind kind, std::string_view code, std::string detail) {
    m_aFindings.push_back({kind, std::string(code), {}, std::move(detail)});
}

void FindingsCollector::Noted(const ReadFinding& finding) {
    std::visit([this](const auto& what) { Take(what); }, finding);
    if (m_pNext) m_pNext->Noted(finding);
}

void FindingsCollector::Found(const ConversionFinding& finding) {
    std::visit([this](const auto& what) { Take(what); }, finding);
    if (m_pNext) m_pNext->Found(finding);
}

void FindingsCollector::Take(const FuyosyaLeftOut& what) {
    Add(FindingKind::FuyosyaLeftOut, what.code,
        TextOf(MessageId::FindingFuyosyaLeftOut,
               {Text(what.number), std::to_string(kMaxFuyosya + 1)}));
}

void FindingsCollector::Take(const KyuuyoLeftOut& what) {
    const std::string number = Text(what.number);
    const std::string date = Text(what.paymentDate);
    std::string detail;
    if (what.why == KyuuyoSkip::Month) {
        detail = TextOf(MessageId::FindingKyuuyoMonth, {number, date});
    } else if (what.paymentDate.empty()) {
        detail = TextOf(MessageId::FindingKyuuyoNoDate, {number});
    } else {
        detail = TextOf(MessageId::FindingKyuuyoDate, {number, date});
    }
    Add(FindingKind::KyuuyoLeftOut, what.code, std::move(detail));
}

void FindingsCollector::Take(const ShouyoLeftOut& what) {
    Add(FindingKind::ShouyoLeftOut, what.code,
        TextOf(MessageId::FindingShouyoNumber, {Text(what.number)}));
}

void FindingsCollector::Take(const UnconvertedCode& what) {
    std::string where = Text(what.table);
    if (!what.dependant.empty()) {
        where = TextOf(MessageId::FindingOfDependant, {where, Text(what.dependant)});
    }
    const std::vector<std::string> args = {Text(what.column), Text(what.value), where,
                                           Text(what.result)};
    Add(FindingKind::CodeNotConverted, what.code,
        TextOf(what.result.empty() ? MessageId::FindingCodeBlank : MessageId::FindingCodeReplaced,
               args));
}

void FindingsCollector::Take(const RowMissing& what) {
    Add(FindingKind::RowMissing, what.code,
        TextOf(MessageId::FindingRowMissing, {TableName(what.table)}));
}

void FindingsCollector::Take(const MasterCodeNotFound& what) {
    Add(FindingKind::MasterNotFound, what.code,
        TextOf(MessageId::FindingMasterNotFound,
               {Text(WordsOf(what.table).key), Text(what.masterCode), TableName(what.table)}));
}

void FindingsCollector::Take(const AbnormalAmount& what) {
    Add(FindingKind::AmountAbnormal, what.code,
        TextOf(MessageId::FindingAmountAbnormal,
               {Text(what.column), Text(what.value), Text(what.table), Text(what.number)}));
}

void FindingsCollector::Take(const QuoteMismatch& what) {
    const MessageId why = what.fault == QuoteFault::OddCount ? MessageId::FindingOddQuotes
                                                             : MessageId::FindingCommaOutsideQuotes;
    // The line is about no employee; its start is enough to find it.
    Add(FindingKind::QuoteMismatch, {},
        TextOf(why, {platform::ShownPath(what.path), std::to_string(what.lineNumber),
                     Text(LineStart(what.line))}));
}

// Known from the load on, so that a run that fails later still names its company.
void FindingsCollector::Take(const CompanyNameRead& what) { m_strCompanyName = what.name; }

void FindingsCollector::Take(const IgnoredLines& what) {
    const std::string path = platform::ShownPath(what.path);
    const std::string count = std::to_string(what.count);
    const std::string first = std::to_string(what.firstLine);
    Add(FindingKind::LinesIgnored, {},
        what.table.empty() ? TextOf(MessageId::FindingLinesBeforeHeader, {path, count, first})
                           : TextOf(MessageId::FindingLinesOfUnknownTable,
                                    {path, Text(what.table), count, first}));
}

void FindingsCollector::Take(const OverwrittenField& what) {
    Add(FindingKind::FieldOverwritten, what.employee,
        TextOf(MessageId::FindingOverwritten,
               {Text(what.table), Text(what.key), Text(what.column), Text(what.kept),
                Place(what.keptAt), Text(what.replaced), Place(what.replacedAt)}));
}

void FindingsCollector::Take(const KeyEmpty& what) {
    Add(FindingKind::KeyEmpty, what.employee,
        TextOf(MessageId::FindingKeyEmpty,
               {Place(what.where), Text(what.table), Text(what.column)}));
}

void FindingsCollector::Take(const TableNotRead& what) {
    for (const InputSlot& slot : InputSlots) {
        if (!slot.bMandatory && what.table == slot.pszTableCode) {
            Add(FindingKind::InputMissing, {},
                TextOf(MessageId::FindingInputMissing, {slot.pszLabel}));
        }
    }
}

void FindingsCollector::Take(const EmployeeUnknown& what) {
    Add(FindingKind::EmployeeUnknown, what.code,
        TextOf(MessageId::FindingEmployeeUnknown,
               {Text(what.table), std::to_string(what.rows), Place(what.first)}));
}

void FindingsCollector::Take(const PaymentRowUnmatched& what) {
    const bool salary = what.table == "10702";
    Add(salary ? FindingKind::KyuuyoLeftOut : FindingKind::ShouyoLeftOut, what.code,
        TextOf(MessageId::FindingPaymentUnmatched,
               {Text(what.number), Place(what.where), salary ? "10701" : "10705"}));
}

void FindingsCollector::Take(const BonusAmountsMissing& what) {
    Add(FindingKind::RowMissing, what.code,
        TextOf(MessageId::FindingBonusAmountsMissing, {Text(what.number)}));
}

void FindingsCollector::Take(const PaymentsMerged& what) {
    const int slot = what.slot;
    // Each number set off, so that blanks and empty numbers show.
    std::string numbers;
    for (const std::string_view number : what.numbers) numbers += "「" + Text(number) + "」";
    std::string detail;
    if (slot >= 14) {
        detail = TextOf(MessageId::FindingMergedBonus, {numbers, std::to_string(slot - 13)});
    } else if (slot == 13) {
        detail = TextOf(MessageId::FindingMergedSecondDecember, {numbers});
    } else {
        detail = TextOf(MessageId::FindingMergedMonth, {numbers, std::to_string(slot)});
    }
    Add(FindingKind::PaymentsMerged, what.code, std::move(detail));
}

}  // namespace kw39
