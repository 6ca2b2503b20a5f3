#include "cli/cli_run.h"

#include <exception>
#include <string_view>

#include "cli/console.h"
#include "cli/help_text.h"
#include "cli/terminal_port.h"
#include "platform/sjis.h"
#include "platform/version.h"
#include "run/execute_command.h"
#include "run/folder_selection.h"
#include "run/input_slots.h"
#include "run/launch_context.h"
#include "run/validate_input.h"

namespace kw39::cli {

namespace {

void Note(const std::string& text) { WriteStderr("kw39pcaconv: " + text + "\n"); }

// The option that sets the control a failed check pointed at.
std::string OptionForControl(int id, const CliOptions& options) {
    if (id == kIdYearBox) return "--year";
    if (id == kIdOutputBrowse) return "--output";
    for (std::size_t s = 0; s < kSlotCount; ++s) {
        if (id != InputSlots[s].nBrowseId) continue;
        std::string name(SlotOptionName(s));
        if (options.folder && !options.slots[s]) name += " / --folder";
        return name;
    }
    return "";
}

void NameOptionToCorrect(const std::string& option) {
    if (!option.empty()) Note("修正するオプション (option to correct): " + option);
}

// Fills the slots from --folder; false (after a message) when it is no folder.
bool ApplyFolder(TerminalPort& port, const std::string& folder, platform::FileSystem& fs) {
    const auto status = fs.Stat(folder);
    if (!status || !status->isDirectory) {
        port.ShowMessage("フォルダが存在しません。\n\n" + folder, MessageStyle::Warning);
        NameOptionToCorrect("--folder");
        return false;
    }
    const FolderSelection selection = SelectFilesFromFolder(folder, fs);
    bool chosen = false;
    for (std::size_t s = 0; s < kSlotCount; ++s) {
        if (!selection.paths[s]) continue;
        port.SetControlText(InputSlots[s].nEditId, *selection.paths[s]);
        chosen = true;
    }
    if (!selection.message.empty()) {
        port.ShowMessage(selection.message, MessageStyle::Warning);
    } else if (!chosen) {
        Note(
            "フォルダ内の同じファイルが複数の種類に当てはまるため、ファイルを選択しませんでした。"
            "\n(One file in the folder matches the names of several kinds: nothing was chosen.)");
    }
    return true;
}

// Explains a failed input check that showed no message: a chosen file that
// exists but cannot be opened (a folder, or no permission).
void ExplainSilentRejection(TerminalPort& port, const CliOptions& options,
                            platform::FileSystem& fs) {
    for (std::size_t s = 0; s < kSlotCount; ++s) {
        const std::string path = port.ReadControlText(InputSlots[s].nEditId);
        if (path.empty() || fs.OpenRead(path)) continue;
        Note("入力ファイルを開けません (cannot open the input file):\n" + path);
        NameOptionToCorrect(OptionForControl(InputSlots[s].nBrowseId, options));
        return;
    }
}

void ExplainRejection(TerminalPort& port, const CliOptions& options, platform::FileSystem& fs) {
    if (port.FocusedControl() != 0) {
        NameOptionToCorrect(OptionForControl(port.FocusedControl(), options));
    } else if (port.LastMessageStyle()) {
        // The one check that shows a message but leaves the focus: the output
        // file exists and cannot be replaced.
        NameOptionToCorrect("--output");
    } else {
        ExplainSilentRejection(port, options, fs);
    }
}

// The output path: the one given, or the suggested name in the current folder.
std::optional<std::string> ChooseOutput(TerminalPort& port, const CliOptions& options,
                                        platform::FileSystem& fs) {
    if (options.output) return options.output;
    std::string name;
    if (!SuggestOutputFileName(port, name, fs)) {
        if (port.FocusedControl() != 0) {
            NameOptionToCorrect(OptionForControl(port.FocusedControl(), options) + " / --output");
        } else {
            ExplainSilentRejection(port, options, fs);
        }
        return std::nullopt;
    }
    name = SafeFileName(name);
    Note("出力先 (output): " + name);
    return name;
}

int Convert(const CliOptions& options, platform::FileSystem& fs) {
    TerminalPort port(options.yes);
    const platform::LocalDate today = platform::Today();
    port.SetControlText(kIdYearBox, options.year ? *options.year : DefaultYear(today));
    port.SetControlChecked(kIdRadioStandard, options.mode == kModeStandard);
    port.SetControlChecked(kIdRadioSimple, options.mode == kModeSimple);
    if (options.folder && !ApplyFolder(port, *options.folder, fs)) return kExitCheckFailed;
    for (std::size_t s = 0; s < kSlotCount; ++s) {
        if (options.slots[s]) port.SetControlText(InputSlots[s].nEditId, *options.slots[s]);
    }

    try {
        const std::optional<std::string> output = ChooseOutput(port, options, fs);
        if (!output) return kExitCheckFailed;
        port.SetControlText(kIdOutputBox, *output);
    } catch (const std::exception& failure) {
        port.ShowMessage(FailureMessage(failure), MessageStyle::Error);
        return kExitFailed;
    }

    LaunchContext launch;
    launch.launchCode = kLaunchStandalone;
    launch.defaultYear = DefaultYear(today);
    port.ForgetFocusAndMessages();
    switch (ExecuteCommand(port, launch, fs)) {
        case CommandOutcome::Written:
            return kExitWritten;
        case CommandOutcome::YearRejected:
        case CommandOutcome::InputRejected:
            ExplainRejection(port, options, fs);
            return kExitCheckFailed;
        case CommandOutcome::Cancelled:
            Note("中止しました。 (Cancelled.)");
            return kExitCancelled;
        case CommandOutcome::NothingWritten:
            Note(
                "社員データが読み込まれなかったため、出力ファイルは作成していません。\n"
                "(No employee was loaded: nothing was written.)");
            return kExitNothingWritten;
        case CommandOutcome::Failed:
            return kExitFailed;
    }
    return kExitFailed;
}

}  // namespace

std::string SafeFileName(const std::string& name) {
    constexpr std::string_view kForbidden = "/\\:*?\"<>|";
    std::string safe = name;
    for (std::size_t i = 0; i < safe.size(); i += platform::CharLength(safe, i)) {
        const auto byte = static_cast<unsigned char>(safe[i]);
        if (platform::CharLength(safe, i) == 1 &&
            (byte < 0x20 || kForbidden.find(safe[i]) != std::string_view::npos)) {
            safe[i] = '_';
        }
    }
    return safe;
}

int RunProgram(const std::vector<std::string>& args, platform::FileSystem& fs) {
    const ParsedOptions parsed = ParseOptions(args);
    if (!parsed.error.empty()) {
        WriteStderr(
            parsed.error +
            "\n使い方は kw39pcaconv --help を参照してください。 (See kw39pcaconv --help.)\n");
        return kExitUsage;
    }
    const CliOptions& options = parsed.options;
    if (options.help) return WriteStdout(HelpText()) ? kExitWritten : kExitFailed;
    if (options.version) return WriteStdout(VersionText()) ? kExitWritten : kExitFailed;
    return Convert(options, fs);
}

}  // namespace kw39::cli
