// RunPort: what the Execute command and the input checks need of the dialog.
#pragma once

#include <string>

#include "platform/message_port.h"

namespace kw39 {

using platform::MessageAnswer;
using platform::MessageStyle;

class RunPort : public platform::MessagePort {
  public:
    // Current text of an edit box (CP932).
    virtual std::string ReadControlText(int id) = 0;
    // State of a radio button.
    virtual bool IsControlChecked(int id) = 0;
    // Moves the keyboard focus to the control to correct.
    virtual void FocusControl(int id) = 0;
    // Ends the modal dialog with result OK (hosted runs).
    virtual void CloseDialog() = 0;
};

}  // namespace kw39
