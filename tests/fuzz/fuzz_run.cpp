// A whole Execute command over six files cut from one input at the separator
// "\n####\n", in both modes, on files held in memory: input checks, load,
// conversion and document. Whatever the files hold, the command ends with at
// most one Error message, leaves the old output alone unless it wrote a
// document, and a document it writes is well-formed.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "run/execute_command.h"
#include "run/input_slots.h"
#include "run/payment_year.h"
#include "support/fault_file_system.h"
#include "support/xmllint.h"
#include "xml_check.h"

namespace {

using kw39::fuzz::Require;

constexpr std::string_view kSeparator = "\n####\n";
const char kOutput[] = "/out/OUT.XML";
const char kOld[] = "<old/>\r\n";

// Built by clang the program's own texts are UTF-8, and the document mixes them
// with the Shift_JIS of the input; its characters are then checked only where
// the literals are CP932 as in the product (the replay of the normal build).
constexpr bool kLiteralsAreCp932 = sizeof("あ") == 3;

void RunOnce(std::string_view input, bool standard) {
    kw39::test::MemoryFileSystem fs;
    fs.AddFolder("/in");
    fs.AddFolder("/out");
    fs.AddFile(kOutput, kOld);
    kw39::RunRequest request;
    std::size_t slot = 0;
    while (slot < kw39::kSlotCount) {
        const std::size_t cut = input.find(kSeparator);
        const std::string_view file = input.substr(0, cut);
        // An empty piece leaves its box empty, as an unchosen file would.
        if (!file.empty()) {
            const std::string path = "/in/FILE" + std::to_string(slot) + ".CSV";
            fs.AddFile(path, std::string(file));
            request.inputPaths[slot] = path;
        }
        ++slot;
        if (cut == std::string_view::npos) break;
        input.remove_prefix(cut + kSeparator.size());
    }
    request.outputPath = kOutput;
    request.yearText = "26";
    request.mode = standard ? kw39::kModeStandard : kw39::kModeSimple;
    request.launch.launchCode = kw39::kLaunchStandalone;

    // The checks, then (every question answered Yes) the run.
    const kw39::RunStart start = kw39::StartRun(request, fs);
    if (start.paymentYear) {
        // Whatever the dates hold, the year they give can be filed.
        const int era = kw39::EraYear(*start.paymentYear);
        Require(era >= 1 && era <= 98, "the year of the payment dates is a filing year");
    }
    const kw39::RunResult run = start.refused ? *start.refused : kw39::ConvertRequest(request, fs);
    const std::vector<kw39::platform::Message>& shown = run.messages;
    const kw39::CommandOutcome outcome = run.outcome;
    const auto count = [&shown](kw39::MessageStyle style) {
        int n = 0;
        for (const kw39::platform::Message& message : shown) n += message.style == style ? 1 : 0;
        return n;
    };
    const int errors = count(kw39::MessageStyle::Error);
    const int infos = count(kw39::MessageStyle::Info);
    Require(errors <= 1, "at most one Error message");
    Require(errors == 0 || infos == 0, "no success after an error");
    const std::optional<std::string> output = fs.Content(kOutput);
    Require(output.has_value(), "the output is never removed");
    if (outcome == kw39::CommandOutcome::Written) {
        Require(infos == 1 && errors == 0, "a written document is reported once");
        const std::string problem = kw39::test::CheckXmlDocument(
            *output, {.bNoControlBytes = true, .bWholeShiftJis = kLiteralsAreCp932});
        if (!problem.empty()) kw39::fuzz::Broken("the document is not well-formed: " + problem);
#ifdef KW39_REPLAY_WITH_XMLLINT
        // Replaying the corpus in the test suite, a real parser reads it too
        // (too slow for fuzzing itself).
        const std::optional<std::string> complaints = kw39::test::XmllintComplaintsAbout(*output);
        if (complaints && !complaints->empty()) {
            kw39::fuzz::Broken("xmllint rejects the document: " + *complaints);
        }
#endif
    } else {
        Require(infos == 0, "no success without a document");
        Require(*output == kOld, "the old output stays as it was");
    }
    Require(outcome != kw39::CommandOutcome::Failed || errors == 1,
            "a failure is reported with one Error message");
    // Nothing but the inputs and the output is left.
    for (const std::string& path : fs.FilePaths()) {
        Require(path == kOutput || path.rfind("/in/", 0) == 0, "no temporary file is left");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    RunOnce(input, true);
    RunOnce(input, false);
    return 0;
}
