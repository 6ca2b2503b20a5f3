#include "run/findings_collector.h"

#include <variant>

#include "convert/engine.h"
#include "platform/sjis.h"
#include "run/input_slots.h"

namespace kw39 {

namespace {

struct TableWords {
    std::string_view table;
    std::string_view what;  // the table as the clerk knows it
    std::string_view key;   // its code column, for the master tables
};

constexpr TableWords kTables[] = {
    {"10603", "税", ""},
    {"10611", "住民税", ""},
    {"10801", "年末調整", ""},
    {"10301", "部門マスター", "部門コード"},
    {"10103", "役職マスター", "役職コード"},
    {"10501", "住民税納付先マスター", "総括表提出先コード"},
};

const TableWords& WordsOf(std::string_view table) {
    for (const TableWords& words : kTables) {
        if (words.table == table) return words;
    }
    static const TableWords unknown{"", "", "コード"};
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

// A value as written, set off so that blanks and empty values show.
std::string Quoted(std::string_view value) { return "「" + std::string(value) + "」"; }

// "KOJINQ.CSV の 12 行目"
std::string Place(const LineOrigin& where) {
    if (where.line == 0) return "読み込んだ位置は不明";
    return platform::ShownPath(where.path) + " の " + std::to_string(where.line) + " 行目";
}

// The table named for the clerk: "税 (10603)", or the code alone.
std::string TableName(std::string_view table) {
    const std::string_view what = WordsOf(table).what;
    return what.empty() ? std::string(table) : std::string(what) + " (" + std::string(table) + ")";
}

}  // namespace

std::string_view FindingKindName(FindingKind kind) {
    switch (kind) {
        case FindingKind::FuyosyaLeftOut:
            return "扶養親族の超過";
        case FindingKind::KyuuyoLeftOut:
            return "給与の除外";
        case FindingKind::ShouyoLeftOut:
            return "賞与の除外";
        case FindingKind::CodeNotConverted:
            return "コードの変換なし";
        case FindingKind::RowMissing:
            return "データなし";
        case FindingKind::MasterNotFound:
            return "マスター未登録";
        case FindingKind::QuoteMismatch:
            return "引用符の不一致";
        case FindingKind::AmountAbnormal:
            return "金額の異常";
        case FindingKind::InputMissing:
            return "入力なし";
        case FindingKind::EmployeeUnknown:
            return "社員情報にない社員";
        case FindingKind::LinesIgnored:
            return "読み込まない行";
        case FindingKind::FieldOverwritten:
            return "上書き";
        case FindingKind::KeyEmpty:
            return "読めない行";
        case FindingKind::PaymentsMerged:
            return "合算";
    }
    return "";
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
        "扶養親族番号" + Quoted(what.number) + ": " + std::to_string(kMaxFuyosya + 1) +
            " 人目以降の扶養親族は出力していません");
}

void FindingsCollector::Take(const KyuuyoLeftOut& what) {
    std::string detail = "支給回" + Quoted(what.number);
    if (what.why == KyuuyoSkip::Month) {
        detail += "、支給日" + Quoted(what.paymentDate) +
                  ": 支給回が 1 から 12 の範囲外のため計上していません";
    } else if (what.paymentDate.empty()) {
        detail += ": 支給日 (10702) がないため計上していません";
    } else {
        detail += ": 支給日" + Quoted(what.paymentDate) + "が 8 桁でないため計上していません";
    }
    Add(FindingKind::KyuuyoLeftOut, what.code, std::move(detail));
}

void FindingsCollector::Take(const ShouyoLeftOut& what) {
    Add(FindingKind::ShouyoLeftOut, what.code,
        "支給回" + Quoted(what.number) + ": 支給回が 1 未満のため計上していません");
}

void FindingsCollector::Take(const UnconvertedCode& what) {
    std::string where = std::string(what.table);
    if (!what.dependant.empty()) where += "、扶養親族番号" + Quoted(what.dependant);
    Add(FindingKind::CodeNotConverted, what.code,
        std::string(what.column) + Quoted(what.value) + " (" + where + ") に変換先がないため" +
            (what.result.empty() ? std::string("空欄") : Quoted(what.result)) + "にしました");
}

void FindingsCollector::Take(const RowMissing& what) {
    Add(FindingKind::RowMissing, what.code, TableName(what.table) + " に社員の行がありません");
}

void FindingsCollector::Take(const MasterCodeNotFound& what) {
    Add(FindingKind::MasterNotFound, what.code,
        std::string(WordsOf(what.table).key) + Quoted(what.masterCode) + "が" +
            TableName(what.table) + " にありません");
}

void FindingsCollector::Take(const AbnormalAmount& what) {
    Add(FindingKind::AmountAbnormal, what.code,
        std::string(what.column) + Quoted(what.value) + " (" + std::string(what.table) +
            "、支給回" + Quoted(what.number) +
            "): 金額が扱える範囲を超えるため 0 として計上しました");
}

void FindingsCollector::Take(const QuoteMismatch& what) {
    const char* const why = what.fault == QuoteFault::OddCount
                                ? "引用符 (\") の数が奇数のため"
                                : "引用符 (\") で全体を囲んでいない項目の中のカンマを区切りとして"
                                  "扱っていないため";
    // The line is about no employee; its start is enough to find it.
    Add(FindingKind::QuoteMismatch, {},
        platform::ShownPath(what.path) + " の " + std::to_string(what.lineNumber) + " 行目" +
            Quoted(LineStart(what.line)) + ": " + why +
            "、項目の区切りが正しくない可能性があります");
}

// Known from the load on, so that a run that fails later still names its company.
void FindingsCollector::Take(const CompanyNameRead& what) { m_strCompanyName = what.name; }

void FindingsCollector::Take(const IgnoredLines& what) {
    const std::string lines =
        std::to_string(what.count) + " 行 (最初は " + std::to_string(what.firstLine) + " 行目)";
    if (what.table.empty()) {
        Add(FindingKind::LinesIgnored, {},
            platform::ShownPath(what.path) + " の最初の見出し行より前のデータ行 " + lines +
                ": どの表の行でもないため読み込んでいません");
        return;
    }
    Add(FindingKind::LinesIgnored, {},
        platform::ShownPath(what.path) + " の [" + std::string(what.table) + "] のデータ行 " +
            lines + ": 読み込む表ではないため読み込んでいません");
}

void FindingsCollector::Take(const OverwrittenField& what) {
    Add(FindingKind::FieldOverwritten, what.employee,
        "表 " + std::string(what.table) + "、キー" + Quoted(what.key) + "の " +
            std::string(what.column) + ": " + Quoted(what.kept) + " (" + Place(what.keptAt) +
            ") が" + Quoted(what.replaced) + " (" + Place(what.replacedAt) + ") を上書きしました");
}

void FindingsCollector::Take(const KeyEmpty& what) {
    Add(FindingKind::KeyEmpty, what.employee,
        Place(what.where) + " (表 " + std::string(what.table) + "): " + std::string(what.column) +
            "が空欄のため、この行の値は出力されません");
}

void FindingsCollector::Take(const TableNotRead& what) {
    for (const InputSlot& slot : InputSlots) {
        if (!slot.bMandatory && what.table == slot.pszTableCode) {
            Add(FindingKind::InputMissing, {},
                Quoted(slot.pszLabel) + "のファイルが選ばれていないため、その値は出力していません");
        }
    }
}

void FindingsCollector::Take(const EmployeeUnknown& what) {
    Add(FindingKind::EmployeeUnknown, what.code,
        "表 " + std::string(what.table) + " の " + std::to_string(what.rows) + " 行 (最初は " +
            Place(what.first) + "): 社員情報 (10601) にない社員のため出力していません");
}

void FindingsCollector::Take(const PaymentRowUnmatched& what) {
    const bool salary = what.table == "10702";
    Add(salary ? FindingKind::KyuuyoLeftOut : FindingKind::ShouyoLeftOut, what.code,
        "支給回" + Quoted(what.number) + " (" + Place(what.where) +
            "): " + (salary ? "10701" : "10705") + " に同じ支給回の行がないため計上していません");
}

void FindingsCollector::Take(const BonusAmountsMissing& what) {
    Add(FindingKind::RowMissing, what.code,
        "賞与 (10706) に支給回" + Quoted(what.number) +
            "の行がありません: 金額のない賞与として計上しました");
}

void FindingsCollector::Take(const PaymentsMerged& what) {
    const int slot = what.slot;
    std::string detail = "支給回";
    for (const std::string_view number : what.numbers) detail += Quoted(number);
    if (slot >= 14) {
        detail += "を " + std::to_string(slot - 13) + " 回目の賞与として合算しました";
    } else if (slot == 13) {
        detail += "を 12 月の 2 回目の給与として合算しました";
    } else {
        detail += "を " + std::to_string(slot) + " 月の給与として合算しました";
    }
    Add(FindingKind::PaymentsMerged, what.code, std::move(detail));
}

}  // namespace kw39
