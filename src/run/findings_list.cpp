#include "run/findings_list.h"

#include "platform/messages.h"

namespace kw39 {

FindingsList ListFindings(const ConversionReport& report) {
    FindingsList list;
    list.summary = ConversionReport::CountLine(report.CountAll());
    for (const CompanyReport& company : report.Companies()) {
        for (const Finding& finding : company.findings) {
            list.rows.push_back({finding.employeeCode, finding.employeeName,
                                 std::string(FindingKindName(finding.kind)), finding.detail});
        }
    }
    if (list.rows.empty()) {
        list.summary += "\n" + platform::TextOf(platform::MessageId::NothingToReport);
    }
    return list;
}

}  // namespace kw39
