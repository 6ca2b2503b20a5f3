#include "run/run_description.h"

#include <exception>

#include "convert/text_rules.h"
#include "platform/messages.h"
#include "run/era.h"
#include "run/execute_command.h"
#include "run/validate_input.h"

namespace kw39 {

using platform::Glossed;
using platform::MessageId;
using platform::TextOf;

std::string YearWithEra(const std::string& yearText) {
    if (!IsAcceptableYear(yearText)) return yearText;
    return yearText + " (" + FilingYearName(static_cast<int>(ToInteger64(yearText))) + ")";
}

std::string ModeName(LinkMode mode) {
    return platform::TextOf(mode == kModeSimple ? MessageId::ModeSimple : MessageId::ModeStandard);
}

RunDescription DescribeRun(const RunRequest& request, platform::FileSystem& fs) {
    RunDescription run{{},
                       {},
                       YearWithEra(request.yearText),
                       ModeName(request.mode),
                       platform::ShownPath(request.outputPath)};
    try {
        const OutputNameProposal company =
            ProposeOutputFileName(request.inputPaths[0], fs, request.exports.get());
        run.companyCode = company.companyCode;
        run.companyName = company.companyName;
    } catch (const std::exception&) {
        // A company block that cannot be read has been reported by the run.
    }
    return run;
}

}  // namespace kw39
