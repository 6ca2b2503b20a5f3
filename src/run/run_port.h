// RunPort: what the Execute command needs of the dialog — its controls as a
// request, the focus on the control to correct, its messages, and closing it.
#pragma once

#include <cstddef>

#include "platform/message_port.h"
#include "run/run_request.h"

namespace kw39 {

class RunPort : public platform::MessagePort {
  public:
    // The year box, the mode, the input boxes and the output box as a request.
    virtual RunRequest ReadRequest() = 0;
    // Moves the keyboard focus to the control that corrects `field` (for an
    // input, the browse button of `slot`).
    virtual void FocusField(RunField field, std::size_t slot) = 0;
    // Ends the modal dialog with result OK (hosted runs).
    virtual void CloseDialog() = 0;
};

}  // namespace kw39
