#include "run/conversion_report.h"

#include "platform/messages.h"

namespace kw39 {

namespace {

// Whether a spreadsheet would take a cell with this start for a formula: the
// report names employees, companies and folders from the data, and a clerk
// opens it in a spreadsheet.
bool StartsLikeFormula(std::string_view field) {
    return !field.empty() &&
           std::string_view("=+-@\t\r").find(field.front()) != std::string_view::npos;
}

// One CSV field: quoted when it holds a separator, a quote or a line end, and
// set off by a leading apostrophe when it would start a formula. These are
// single bytes below 0x40, which neither a CP932 trail byte nor a byte of a
// UTF-8 sequence is.
void AppendField(std::string& line, std::string_view field) {
    const std::string_view inert = StartsLikeFormula(field) ? "'" : "";
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        line += inert;
        line += field;
        return;
    }
    line += '"';
    line += inert;
    for (const char c : field) {
        if (c == '"') line += '"';
        line += c;
    }
    line += '"';
}

void AppendLine(std::string& csv, const ConversionReport::FieldEncoder& encode,
                std::initializer_list<std::string_view> fields) {
    bool first = true;
    for (const std::string_view field : fields) {
        if (!first) csv += ',';
        first = false;
        AppendField(csv, encode ? encode(field) : std::string(field));
    }
    csv += "\r\n";
}

// "(会社 0001 テスト商事, 申告年度 8 (令和8年), 標準モード, 出力先 out.xml)";
// the company is left out when its file could not be read.
std::string RunDetail(const RunDescription& run) {
    if (run.companyCode.empty() && run.companyName.empty()) {
        return platform::TextOf(MessageId::ReportRunWithoutCompany,
                                {run.year, run.mode, run.documentPath});
    }
    return platform::TextOf(MessageId::ReportRun, {run.companyCode, run.companyName, run.year,
                                                   run.mode, run.documentPath});
}

// A message of several lines as one line: each line end becomes a blank.
std::string OneLine(std::string_view text) {
    std::string line;
    for (const char c : text) {
        if (c == '\r') continue;
        if (c == '\n') {
            if (!line.empty() && line.back() != ' ') line += ' ';
            continue;
        }
        line += c;
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    return line;
}

}  // namespace

void ConversionReport::Add(std::string label, const RunResult& result,
                           std::optional<RunDescription> run) {
    CompanyReport& company = m_aCompanies.emplace_back();
    company.label = std::move(label);
    company.companyName = result.companyName;
    company.employees = result.employees;
    company.written = result.Written();
    company.notWritten = company.written ? std::string() : OneLine(result.whyNot);
    company.findings = result.findings;
    if (run) {
        // A run that stops at its checks or is cancelled loads nothing, but
        // its company file may still have named the company.
        if (company.companyName.empty()) company.companyName = run->companyName;
        company.run = std::move(run);
    }
}

FindingCounts ConversionReport::Count(const CompanyReport& company) {
    FindingCounts counts{};
    for (const Finding& finding : company.findings) {
        ++counts[static_cast<std::size_t>(finding.kind)];
    }
    return counts;
}

FindingCounts ConversionReport::CountAll() const {
    FindingCounts all{};
    for (const CompanyReport& company : m_aCompanies) {
        const FindingCounts counts = Count(company);
        for (std::size_t k = 0; k < kFindingKindCount; ++k) all[k] += counts[k];
    }
    return all;
}

std::string ConversionReport::CountLine(const FindingCounts& counts) {
    std::size_t total = 0;
    std::string kinds;
    for (std::size_t k = 0; k < kFindingKindCount; ++k) {
        total += counts[k];
        if (k >= kAlwaysCountedKinds && counts[k] == 0) continue;
        if (k > 0) kinds += ", ";
        kinds += std::string(FindingKindName(static_cast<FindingKind>(k))) + " " +
                 std::to_string(counts[k]);
    }
    return platform::TextOf(MessageId::FindingCount, {std::to_string(total), kinds});
}

std::string ConversionReport::Csv(const FieldEncoder& encode) const {
    std::string csv;
    AppendLine(csv, encode, {"会社", "社員コード", "氏名", "種類", "内容"});
    for (const CompanyReport& company : m_aCompanies) {
        const std::string run = company.run ? " " + RunDetail(*company.run) : std::string();
        if (company.written) {
            AppendLine(
                csv, encode,
                {company.Name(), "", "", platform::JapaneseText(MessageId::ReportConverted),
                 platform::TextOf(MessageId::ReportEmployees, {std::to_string(company.employees)}) +
                     run});
        } else {
            AppendLine(
                csv, encode,
                {company.Name(), "", "", platform::JapaneseText(MessageId::ReportNotConverted),
                 company.notWritten + run});
        }
        for (const Finding& finding : company.findings) {
            AppendLine(csv, encode,
                       {company.Name(), finding.employeeCode, finding.employeeName,
                        FindingKindName(finding.kind), finding.detail});
        }
    }
    return csv;
}

}  // namespace kw39
