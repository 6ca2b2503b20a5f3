#include "cli/options.h"

#include "platform/encoding.h"
#include "platform/file_system.h"
#include "platform/messages.h"

namespace kw39::cli {

using platform::Glossed;
using platform::MessageId;
using platform::TextOf;

namespace {

constexpr std::array<std::string_view, kSlotCount> kSlotOptions = {
    "--company", "--payee", "--department", "--employee", "--monthly", "--yearend",
};

// An argument echoed in a message: in CP932, with "?" for what CP932 lacks.
std::string ForDisplay(std::string_view utf8) {
    if (auto cp932 = platform::Utf8ToCp932(utf8)) return *cp932;
    std::string shown;
    for (const char c : utf8) {
        // Keep ASCII, and one "?" per UTF-8 sequence (its lead byte).
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            shown.push_back(c);
        } else if ((byte & 0xC0) != 0x80) {
            shown.push_back('?');
        }
    }
    return shown;
}

class Parser {
  public:
    explicit Parser(const std::vector<std::string>& args) : m_args(args) {}

    ParsedOptions Run() {
        bool optionsEnded = false;
        for (m_next = 0; m_next < m_args.size() && m_result.error.empty();) {
            const std::string arg = LongForm(m_args[m_next++]);
            if (arg == "--" && !optionsEnded) {
                // The program takes no operands: whatever follows is unexpected.
                optionsEnded = true;
                continue;
            }
            if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
                Fail(Glossed(MessageId::UnexpectedArgument) + ": " + ForDisplay(arg));
                continue;
            }
            if (arg.rfind("--", 0) != 0) {
                // A short form the program does not have is an option it
                // does not know, as a long one is.
                Fail(Glossed(MessageId::UnknownOption) + ": " + ForDisplay(arg));
                continue;
            }
            const std::size_t equals = arg.find('=');
            const std::string name = arg.substr(0, equals);
            std::optional<std::string> inlineValue;
            if (equals != std::string::npos) inlineValue = arg.substr(equals + 1);
            Option(name, inlineValue);
        }
        if (m_result.error.empty()) CheckCombinations();
        return std::move(m_result);
    }

  private:
    // The short forms people expect of any program.
    static std::string LongForm(const std::string& arg) {
        if (arg == "-h") return "--help";
        if (arg == "-V") return "--version";
        return arg;
    }

    // Options that each make sense alone but not together.
    void CheckCombinations() {
        const CliOptions& o = m_result.options;
        if (o.help || o.version) return;
        if (o.batch) {
            std::vector<std::string_view> clash;
            if (o.folder) clash.push_back("--folder");
            for (std::size_t s = 0; s < kSlotCount; ++s) {
                if (o.slots[s]) clash.push_back(kSlotOptions[s]);
            }
            if (o.output) clash.push_back("--output");
            if (!clash.empty()) {
                Fail(Glossed(MessageId::BatchClash, {std::string(clash.front())}));
            } else if (!o.outputDir) {
                Fail(Glossed(MessageId::BatchNeedsOutputDir));
            }
        } else if (o.outputDir) {
            Fail(Glossed(MessageId::OutputDirWithoutBatch));
        }
        if (o.report && o.output && *o.report == *o.output) {
            Fail(Glossed(MessageId::ReportIsOutput));
        }
    }

    void Fail(const std::string& text) {
        if (m_result.error.empty()) m_result.error = "kw39pcaconv: " + text;
    }

    bool* FlagTarget(const std::string& name) {
        CliOptions& o = m_result.options;
        if (name == "--yes") return &o.yes;
        if (name == "--help") return &o.help;
        if (name == "--version") return &o.version;
        if (name == "--check") return &o.check;
        if (name == "--quiet") return &o.quiet;
        return nullptr;
    }

    std::optional<std::string>* ValueTarget(const std::string& name) {
        CliOptions& o = m_result.options;
        if (name == "--year") return &o.year;
        if (name == "--mode") return &m_mode;
        if (name == "--folder") return &o.folder;
        if (name == "--output") return &o.output;
        if (name == "--batch") return &o.batch;
        if (name == "--output-dir") return &o.outputDir;
        if (name == "--report") return &o.report;
        for (std::size_t s = 0; s < kSlotCount; ++s) {
            if (name == kSlotOptions[s]) return &o.slots[s];
        }
        return nullptr;
    }

    void Option(const std::string& name, const std::optional<std::string>& inlineValue) {
        if (bool* flag = FlagTarget(name)) {
            if (inlineValue) {
                Fail(Glossed(MessageId::OptionTakesNoValue, {name}) + ".");
            } else {
                *flag = true;
            }
            return;
        }
        std::optional<std::string>* target = ValueTarget(name);
        if (!target) {
            Fail(Glossed(MessageId::UnknownOption) + ": " + ForDisplay(name));
            return;
        }
        if (target->has_value()) {
            Fail(Glossed(MessageId::OptionGivenTwice, {name}) + ".");
            return;
        }
        const std::optional<std::string> value = inlineValue ? inlineValue : TakeValue();
        if (!value) {
            Fail(Glossed(MessageId::OptionNeedsValue, {name}) + ".");
            return;
        }
        // The year is text for the document; a path is a name for the system.
        std::optional<std::string> cp932 = target == &m_result.options.year
                                               ? platform::Utf8ToCp932(*value)
                                               : platform::PathFromArgument(*value);
        if (!cp932) {
            Fail(Glossed(MessageId::OptionNotShiftJis, {name}) + ": " + ForDisplay(*value));
            return;
        }
        if (*cp932 == "-" && (name == "--output" || name == "--report")) {
            // Standard output is no file: a terminal would show the document, a
            // pipe might take half of it, and neither can be replaced whole.
            Fail(Glossed(MessageId::OptionStandardOutput, {name}));
            return;
        }
        *target = std::move(cp932);
        if (target == &m_mode) SetMode(*m_mode);
    }

    // The next argument as a value; another option is not taken for one.
    std::optional<std::string> TakeValue() {
        if (m_next >= m_args.size() || m_args[m_next].rfind("--", 0) == 0) return std::nullopt;
        return m_args[m_next++];
    }

    void SetMode(const std::string& value) {
        if (value == "standard") {
            m_result.options.mode = kModeStandard;
        } else if (value == "simple") {
            m_result.options.mode = kModeSimple;
        } else {
            Fail(Glossed(MessageId::ModeUnknown) + ": " + value);
        }
    }

    const std::vector<std::string>& m_args;
    std::size_t m_next = 0;
    std::optional<std::string> m_mode;
    ParsedOptions m_result;
};

}  // namespace

ParsedOptions ParseOptions(const std::vector<std::string>& args) { return Parser(args).Run(); }

std::string_view SlotOptionName(std::size_t slot) { return kSlotOptions.at(slot); }

}  // namespace kw39::cli
