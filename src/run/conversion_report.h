// ConversionReport: for one or many companies, what their runs did and what
// they left out, so that the clerk can see it beside the document. It is made
// from the runs' results. All texts are CP932; the program that writes the
// report chooses the file's encoding.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "run/finding.h"
#include "run/run_request.h"

namespace kw39 {

// What the outcome line of a company says of its run besides the outcome, so
// that an office can tell the lines of a report apart without the log.
struct RunDescription {
    std::string companyCode;  // of the export's company block; "" when unread
    std::string companyName;
    std::string year;          // the filing year with its era, "8 (令和8年)"
    std::string mode;          // "標準モード" or "簡易モード"
    std::string documentPath;  // the document written, or the one not written
};

struct CompanyReport {
    std::string label;          // how the caller names the company (a folder), may be ""
    std::string companyName;    // "会社名" of the export, once its files are loaded
    std::size_t employees = 0;  // employees converted
    bool written = false;       // the document was written
    std::string notWritten;     // why not, when the caller said so
    std::vector<Finding> findings;
    std::optional<RunDescription> run;  // when the caller described it

    // The caller's name for the company when it gave one (unique within a
    // batch), else the company name of the export.
    const std::string& Name() const { return label.empty() ? companyName : label; }
};

using FindingCounts = std::array<std::size_t, kFindingKindCount>;

class ConversionReport {
  public:
    // Adds the record of one company's run: `label` is how the caller names
    // it (a batch's folder, or ""), `run` its description on the outcome line
    // when the caller gives one.
    void Add(std::string label, const RunResult& result,
             std::optional<RunDescription> run = std::nullopt);

    const std::vector<CompanyReport>& Companies() const { return m_aCompanies; }

    // The findings by kind, of one company or of all.
    static FindingCounts Count(const CompanyReport& company);
    FindingCounts CountAll() const;

    // "報告: 3 件 (扶養親族の超過 0, 給与の除外 1, ...)": the first eight kinds
    // always, the others when they occur.
    static std::string CountLine(const FindingCounts& counts);

    // Turns one CP932 field into the file's encoding.
    using FieldEncoder = std::function<std::string(std::string_view)>;

    // The report as CSV lines ending in CR LF: a header line "会社,社員コード,
    // 氏名,種類,内容", then per company one line with its outcome and one line
    // per finding. Fields are CP932, or encoded one by one by `encode`, so
    // that a broken character in the data never swallows a separator.
    std::string Csv(const FieldEncoder& encode = {}) const;

  private:
    std::vector<CompanyReport> m_aCompanies;
};

}  // namespace kw39
