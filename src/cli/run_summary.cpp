#include "cli/run_summary.h"

#include "platform/file_system.h"
#include "platform/messages.h"
#include "platform/visible_text.h"
#include "run/input_slots.h"
#include "run/run_description.h"

namespace kw39::cli {

using platform::Glossed;
using platform::MessageId;
using platform::TextOf;

namespace {

std::string Line(const std::string& label, const std::string& value) {
    return "    " + label + ": " + platform::VisibleName(value) + "\n";
}

std::string PathLine(const std::string& label, const std::string& path) {
    return Line(label, platform::ShownPath(path));
}

// The lines every run starts with: the summary's title, the year's lines as
// given, the mode.
std::string Head(const std::string& yearLines, const CliOptions& options) {
    const LinkMode mode = options.mode;
    std::string text = "kw39pcaconv: " + Glossed(MessageId::LabelSummary) + ":\n" + yearLines;
    text += Line(Glossed(MessageId::LabelMode),
                 Glossed(mode == kModeSimple ? MessageId::ModeSimple : MessageId::ModeStandard));
    return text;
}

std::string YearLine(const std::string& yearText) {
    return Line(Glossed(MessageId::LabelYear), YearWithEra(yearText));
}

std::string CheckLine(const CliOptions& options) {
    if (!options.check) return {};
    return "    " + Glossed(MessageId::LabelCheckOnly) + ": " +
           Glossed(MessageId::NoDocumentWritten) + "\n";
}

}  // namespace

std::string RunSummary(const RunRequest& request, const CliOptions& options,
                       const std::string& written) {
    std::string text = Head(YearLine(request.yearText), options);
    for (std::size_t s = 0; s < kSlotCount; ++s) {
        if (request.inputPaths[s].empty()) continue;
        text += PathLine(
            std::string(InputSlots[s].pszLabel) + " (" + std::string(SlotOptionName(s)) + ")",
            request.inputPaths[s]);
    }
    text += PathLine(Glossed(MessageId::LabelOutput), request.outputPath);
    if (!written.empty() && written != request.outputPath) {
        text += PathLine(Glossed(MessageId::LabelLinkTarget), written);
    }
    return text + CheckLine(options);
}

std::string BatchSummary(const std::string& yearText, const CliOptions& options,
                         const std::vector<CompanyYear>& years) {
    if (options.year) return Head(YearLine(yearText), options) + CheckLine(options);
    std::string lines = "    " + Glossed(MessageId::LabelYear) + ": " +
                        Glossed(MessageId::YearOfEachCompany) + "\n";
    for (const CompanyYear& company : years) {
        lines += "        " + platform::VisibleName(platform::ShownPath(company.folder)) + ": " +
                 YearWithEra(company.yearText) + "\n";
    }
    return Head(lines, options) + CheckLine(options);
}

}  // namespace kw39::cli
