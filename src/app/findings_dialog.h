// "変換結果": what the last run that wrote its document left out or changed,
// one row per finding as in the conversion report, with the counts above the
// list and the report file to save.
#pragma once

#include <windows.h>

#include <string>

#include "app/dialog_base.h"
#include "run/conversion_report.h"
#include "run/run_request.h"

namespace kw39::app {

// The findings of a run that wrote its document, and its request: the report
// must never be saved over one of the files that run read and wrote.
struct RunFindings {
    ConversionReport report;
    RunRequest request;
};

// Where the report is proposed to go: "<company code><company name>_報告.csv"
// in the document's folder. The name comes from the company file, as the
// document's own proposal does; should that fail, from the company name of
// the run.
std::wstring ProposedReportPath(const RunRequest& request, const RunFindings& findings);

class CFindingsDlg : public CModalDialog {
  public:
    // `proposedPath` is where the save dialog starts: folder and file name.
    CFindingsDlg(const RunFindings& findings, std::wstring proposedPath);

  protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int notifyCode) override;

  private:
    void FillList();
    void OnSave();

    const RunFindings& m_findings;
    std::wstring m_strProposedPath;
};

}  // namespace kw39::app
