// kw39pcaconv: converts the CSV exports of PCA給与X into the XML document that
// Orvelle imports, from the command line.
#include <exception>

#include "cli/cli_run.h"
#include "cli/console.h"
#include "cli/program.h"
#include "cli/terminal.h"
#include "platform/interrupt_cleanup.h"
#include "run/execute_command.h"

int main(int argc, char** argv) {
    // An interrupted run leaves no temporary file with personal data behind.
    kw39::platform::InstallInterruptCleanup();
    try {
        return kw39::cli::RunProgram(kw39::cli::ProgramArguments(argc, argv));
    } catch (const std::exception& failure) {
        kw39::cli::WriteStderr(kw39::cli::FormatMessage(kw39::FailureMessage(failure)));
        return kw39::cli::kExitFailed;
    }
}
