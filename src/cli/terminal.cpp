#include "cli/terminal.h"

#include <initializer_list>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/console.h"
#include "platform/encoding.h"
#include "platform/messages.h"
#include "platform/version.h"
#include "platform/visible_text.h"
#include "run/execute_command.h"
#include "run/launch_context.h"
#include "run/run_description.h"

namespace kw39::cli {

using platform::Glossed;
using platform::MessageId;
using platform::TextOf;

namespace {

std::string StyleWord(MessageStyle style) {
    switch (style) {
        case MessageStyle::Warning:
            return Glossed(MessageId::StyleWarning);
        case MessageStyle::Confirm:
            return Glossed(MessageId::StyleConfirm);
        case MessageStyle::Info:
            return Glossed(MessageId::StyleInfo);
        case MessageStyle::Error:
            return Glossed(MessageId::StyleError);
        case MessageStyle::Question:
            return Glossed(MessageId::StyleQuestion);
    }
    return "";
}

// Blanks, tabs and full-width blanks around a typed answer do not count.
std::string_view Trimmed(std::string_view text) {
    constexpr std::string_view kWideBlank = "　";
    for (;;) {
        if (text.starts_with(' ') || text.starts_with('\t')) {
            text.remove_prefix(1);
        } else if (text.starts_with(kWideBlank)) {
            text.remove_prefix(kWideBlank.size());
        } else if (text.ends_with(' ') || text.ends_with('\t')) {
            text.remove_suffix(1);
        } else if (text.ends_with(kWideBlank)) {
            text.remove_suffix(kWideBlank.size());
        } else {
            return text;
        }
    }
}

bool IsOneOf(std::string_view text, std::initializer_list<std::string_view> words) {
    for (const std::string_view word : words) {
        if (text == word) return true;
    }
    return false;
}

// An unknown answer is asked again, but not for ever: a script that feeds
// the wrong thing must end.
constexpr int kMaxAsks = 3;

}  // namespace

std::string FormatMessage(const Message& message) {
    const auto shown = [&message](std::size_t index, std::string_view value) {
        return QuotesName(message.id, index) ? platform::VisibleName(value)
                                             : platform::VisibleText(value);
    };
    const std::string text =
        message.id == MessageId::None
            ? message.text
            : platform::Compose(platform::JapaneseText(message.id), message.args, shown);
    std::string line = std::string(StyleWord(message.style)) + ": " + text;
    if (line.back() != '\n') line += '\n';
    if (const std::string_view gloss = platform::EnglishText(message.id); !gloss.empty()) {
        line += "(" + platform::Compose(gloss, message.args, shown) + ")\n";
    }
    return line;
}

TypedAnswer ReadAnswer(const std::string& typed) {
    // Compared in CP932, where the program's own words are.
    const std::optional<std::string> cp932 = platform::Utf8ToCp932(typed);
    if (!cp932) return TypedAnswer::Unknown;
    std::string answer(Trimmed(*cp932));
    for (char& c : answer) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    if (IsOneOf(answer, {"y", "yes", "ok", "はい", "ｙ", "Ｙ"})) return TypedAnswer::Yes;
    if (IsOneOf(answer, {"", "n", "no", "いいえ", "ｎ", "Ｎ"})) return TypedAnswer::No;
    return TypedAnswer::Unknown;
}

void Terminal::Show(const Message& message) const {
    if (message.style == MessageStyle::Info && m_bQuiet) return;
    WriteStderr(FormatMessage(message));
}

void Terminal::Note(const std::string& text) const { WriteStderr("kw39pcaconv: " + text + "\n"); }

void Terminal::Inform(const std::string& text) const {
    if (!m_bQuiet) Note(text);
}

void Terminal::InformText(const std::string& text) const {
    if (!m_bQuiet) WriteStderr(text);
}

void Terminal::NameOptionToCorrect(const std::string& option) const {
    if (!option.empty()) Note(Glossed(MessageId::LabelOptionToCorrect) + ": " + option);
}

void Terminal::NameYearToCorrect() const {
    NameOptionToCorrect("--year");
    Note(TextOf(MessageId::YearExample, {YearWithEra(DefaultYear(platform::Today()))}));
}

bool Terminal::Answer(const Question& put) const {
    const Message& asked = put.message;
    const MessageStyle style = asked.style;
    if (m_bAsksNothing) {
        if (style == MessageStyle::Question) Show(QuestionStatement(put));
        return true;
    }
    // The question with its English line, as every message has one.
    std::string question = StyleWord(style) + ": " + asked.text;
    if (const std::string_view english = platform::EnglishText(asked.id); !english.empty()) {
        question += "\n(" + platform::Compose(english, asked.args) + ")";
    }
    if (m_bAssumeYes) {
        // The question about the year is a warning: it is shown also when
        // --quiet leaves only warnings.
        if (!m_bQuiet || style == MessageStyle::Question) {
            WriteStderr(question + (style == MessageStyle::Question ? " Yes" : " OK") +
                        " (--yes)\n");
        }
        return true;
    }
    // With standard error going to a log, the question is shown on the
    // terminal the answer is typed on as well; without one, it is not asked.
    const bool echo = !StderrIsTerminal();
    const auto say = [echo](const std::string& text) {
        WriteStderr(text);
        return !echo || WriteToInputTerminal(text);
    };
    if (!StdinIsTerminal() || !say(question + " [y/N] ")) {
        WriteStderr((StdinIsTerminal() ? "\n" : question + "\n") +
                    TextOf(MessageId::NoTerminalToAsk) + "\n(" +
                    std::string(platform::EnglishText(MessageId::NoTerminalToAsk)) + ")\n");
        return false;
    }
    for (int tries = 1;; ++tries) {
        const std::optional<std::string> typed = ReadStdinLine();
        if (!typed) {
            say("\n");
            return false;
        }
        const TypedAnswer answer = ReadAnswer(*typed);
        if (answer != TypedAnswer::Unknown) return answer == TypedAnswer::Yes;
        if (tries == kMaxAsks) {
            say(Glossed(MessageId::AnswerNotUnderstood) + "\n");
            return false;
        }
        say(Glossed(MessageId::AnswerYesOrNo) + " [y/N] ");
    }
}

}  // namespace kw39::cli
