// The About box, opened from the main dialog's system menu.
#pragma once

#include "app/dialog_base.h"
#include "app/resource.h"

namespace kw39::app {

class CAboutDlg : public CModalDialog {
  public:
    CAboutDlg() : CModalDialog(IDD_ABOUTBOX) {}
};

}  // namespace kw39::app
