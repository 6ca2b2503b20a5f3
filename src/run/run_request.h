// The values a conversion is asked with and answers with. Every caller — the
// dialog, the command line, the batch, the benchmark, the tests — builds a
// RunRequest, answers the run's Questions and reads its RunResult; none has to
// look like a dialog, and none has to guess what a failed check was about.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "export/syain_data.h"
#include "pca/export_files.h"
#include "platform/message.h"
#include "platform/messages.h"
#include "platform/pinned_file_system.h"
#include "run/finding.h"
#include "run/input_slots.h"
#include "run/launch_context.h"

namespace kw39 {

using platform::Message;
using platform::MessageAnswer;
using platform::MessageId;
using platform::MessageStyle;

struct RunRequest {
    std::string yearText;  // as typed: checked, then written into the document unchanged
    LinkMode mode = kModeStandard;
    std::array<std::string, kSlotCount> inputPaths;  // by slot; "" when not chosen
    std::string outputPath;
    LaunchContext launch;
    // False for a check of the run: every check, the load and the conversion
    // take place, and the output is checked, but no document is made.
    bool writeDocument = true;
    // Files of other runs the output must never replace (in a batch, the
    // inputs of every company), with the words that name them and their
    // identity when the batch was planned.
    struct OtherFile {
        std::string label;
        std::string path;
        std::optional<platform::FileIdentity> identity;
    };
    std::shared_ptr<const std::vector<OtherFile>> otherInputs;
    // The readings of the input files that the run's steps share, so that
    // each file is opened and read once; null: each step reads its own.
    std::shared_ptr<ExportFiles> exports;

    // The chosen input paths, in slot order.
    std::vector<std::string> ChosenInputs() const;
};

// What the user has to correct after a failed check.
enum class RunField { None, Year, Input, Output };

enum class CommandOutcome {
    YearRejected,    // "正しい申告年度を指定してください。"
    InputRejected,   // an input check failed
    Cancelled,       // Cancel at the confirmation
    NothingWritten,  // no employee was loaded; nothing written
    Written,         // the document was written
    Checked,         // a run without document passed everything; nothing written
    Failed,          // a raised failure, shown as one Error message
};

struct CheckResult {
    // Nothing when every check passed; else YearRejected, InputRejected, or
    // Failed (a file could not be read while it was checked).
    std::optional<CommandOutcome> failure;
    RunField field = RunField::None;
    std::size_t slot = 0;            // the input slot, when field is Input
    bool focus = true;               // the dialog moves the focus to the field
    std::optional<Message> message;  // the message of the failed check
    // When every check passed: the calendar year most payment dates of the
    // monthly file fall in (nothing without one).
    std::optional<int> paymentYear;
    // The inputs and the output as they were checked, kept open for the run.
    std::shared_ptr<platform::PinnedFiles> pinned;

    bool Passed() const { return !failure; }
};

// A question a run puts to the user before it starts, in the order asked: the
// year question when the year is not that of the payment dates, then the
// confirmation. No ends the run; `field` is what the user may correct then.
struct Question {
    Message message;  // a Question (Yes/No) or the confirmation (OK/Cancel)
    RunField field = RunField::None;
};

// What became of a run, whether it started or not.
struct RunResult {
    CommandOutcome outcome = CommandOutcome::Failed;
    std::string documentPath;   // when written
    std::size_t employees = 0;  // employees written (or, without document, converted)
    // "会社名" of the export, once the run has read its company block.
    std::string companyName;
    // What the conversion left out or changed, in the order found, also when
    // it failed after the load began: what the report lists.
    std::vector<Finding> findings;
    // What the run has to say, in the order it arose: the message of a failed
    // check; or the notes of the reader, the store and the engine, then the
    // completion message of a standalone run (or of a run without document)
    // or the one Error message of a failure.
    std::vector<Message> messages;
    // When nothing was written, why, in the words the report and a batch's
    // result line give it.
    std::string whyNot;
    // What the user has to correct after a failed check or a No to the year
    // question; `focus` false when the dialog leaves the focus where it is.
    RunField field = RunField::None;
    std::size_t slot = 0;  // the input slot, when field is Input
    bool focus = true;

    bool Written() const { return outcome == CommandOutcome::Written; }
};

}  // namespace kw39
