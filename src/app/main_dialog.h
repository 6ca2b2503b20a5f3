// The main dialog: filing year, mode, the six input files and the output file,
// and the commands on them. Execute turns the controls into a request, answers
// the run's questions in message boxes and shows its result.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>

#include "app/dialog_base.h"
#include "app/findings_dialog.h"
#include "app/path_boxes.h"
#include "app/shared_mnemonics.h"
#include "run/launch_context.h"
#include "run/run_request.h"

namespace kw39::app {

class CKw39PCAConvDlg : public CModalDialog {
  public:
    explicit CKw39PCAConvDlg(const LaunchContext& launch);

    // True once a run has written its document. The host is told OK only then:
    // a dialog ended by Enter, or by a run that wrote nothing, must not let it
    // import a file that is missing or left over from an earlier run.
    bool DocumentWritten() const { return m_bDocumentWritten; }

  protected:
    void DoDataExchange(bool save) override;
    bool OnInitDialog() override;
    bool OnCommand(int id, int notifyCode) override;
    bool OnSysCommand(WPARAM command) override;
    void OnHelpRequest() override { OnHelp(); }

  private:
    // The controls as a request, a message box, the focus on the control
    // that corrects `field` (for an input, the browse button of `slot`).
    // Texts cross to and from CP932 here.
    RunRequest ReadRequest();
    MessageAnswer ShowMessage(const std::string& text, MessageStyle style);
    void FocusField(RunField field, std::size_t slot);

    void OnExecute();
    void OnBrowseInput(std::size_t slot);
    void OnSaveAs();
    void OnSelectFolder();
    void OnClear();
    void OnHelp();
    // The text of a box in CP932.
    std::string ReadControlText(int id);
    void OnFindings();
    void ForgetFindings();

    const LaunchContext& m_launch;
    int m_nMode = 0;  // radio group: 0 "標準モード", 1 "簡易モード"
    HICON m_hIcon = nullptr;
    std::wstring m_strLastFolder;  // last folder of "一括選択", for this process only
    bool m_bDocumentWritten = false;
    bool m_bRunning = false;  // inside the Execute command: the wait cursor is shown
    CPathBoxes m_pathBoxes;
    std::optional<RunFindings> m_findings;        // of the last run, when it wrote its document
    std::optional<CSharedMnemonics> m_mnemonics;  // "実行(&R)" and "変換結果(&R)..."
};

}  // namespace kw39::app
