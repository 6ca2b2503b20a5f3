// How the command line shows the messages of a run: on standard error with
// their kind, its questions answered by --yes or on the terminal.
#pragma once

#include <string>
#include <vector>

#include "platform/message_port.h"
#include "run/run_request.h"

namespace kw39::cli {

using platform::Message;
using platform::MessageStyle;

// "警告 (Warning): " + text + line end: how a message appears on the terminal,
// followed by a line with its English gloss when it has one.
std::string FormatMessage(const std::string& text, MessageStyle style);

// --quiet: only warnings and errors (and a question that must be asked) reach
// the terminal; information and notes are left out.
void SetQuiet(bool quiet);
bool IsQuiet();

// How an answer typed at the confirmation is read.
enum class TypedAnswer { Yes, No, Unknown };
// "y", "yes", "ok" in any case, "はい", full-width "ｙ"/"Ｙ" are Yes; an empty
// line, "n", "no", "いいえ", "ｎ"/"Ｎ" are No; blanks around it do not count.
// `typed` is in the terminal's encoding (UTF-8).
TypedAnswer ReadAnswer(const std::string& typed);

class Terminal {
  public:
    // `assumeYes`: the questions are answered Yes by the option `answeredBy`.
    explicit Terminal(bool assumeYes, std::string answeredBy = "--yes")
        : m_bAssumeYes(assumeYes), m_strAnsweredBy(std::move(answeredBy)) {}

    // Shows a message (Info, Warning, Error) on standard error.
    void Show(const Message& message) const;
    void Show(const std::string& text, MessageStyle style) const { Show(Message{text, style}); }
    // Asks a question of a run (the year question or the confirmation): true
    // for Yes or OK, given by --yes or typed on the terminal.
    bool Answer(const Question& question) const;

    // The paths of the run, which its messages quote: shown with their control
    // characters visible.
    void SetShownPaths(std::vector<std::string> paths) { m_aPaths = std::move(paths); }
    std::string Shown(const std::string& text) const;

  private:
    bool m_bAssumeYes;
    std::string m_strAnsweredBy;
    std::vector<std::string> m_aPaths;
};

}  // namespace kw39::cli
