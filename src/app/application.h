// The application object: start-up, the command line and the host protocol.
#pragma once

#include <windows.h>

#include <string_view>

#include "run/launch_context.h"

namespace kw39::app {

class CKw39PCAConvApp {
  public:
    // Runs the program for the full command line (as GetCommandLineW gives
    // it): COM, the launch context, the main dialog and, when hosted, the
    // notification of the host. Returns the process exit code.
    int Run(std::wstring_view commandLine);

    const LaunchContext& Launch() const { return m_launch; }

  private:
    // After the dialog of a hosted start: notify (lParam 1 unless a document
    // was written), bring the host forward, enable it.
    void ReleaseHost(HWND host, bool cancelled) const;

    LaunchContext m_launch;
};

}  // namespace kw39::app
