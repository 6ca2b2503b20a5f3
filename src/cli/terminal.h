// How the command line shows the messages of a run: on standard error with
// their kind, its questions answered by --yes or on the terminal.
#pragma once

#include <string>
#include <vector>

#include "platform/message.h"
#include "run/run_request.h"

namespace kw39::cli {

using platform::Message;
using platform::MessageStyle;

// "警告 (Warning): " + text + line end: how a message appears on the terminal,
// followed by a line with its English gloss when it has one. The names it
// quotes show their control characters (line feeds too).
std::string FormatMessage(const Message& message);

// What a question states, without the question on its last line: "支給日の年は
// ... が指定されています。" of "...\nこのまま続けますか？".
std::string QuestionStatement(const std::string& question);

// How an answer typed at the confirmation is read.
enum class TypedAnswer { Yes, No, Unknown };
// "y", "yes", "ok" in any case, "はい", full-width "ｙ"/"Ｙ" are Yes; an empty
// line, "n", "no", "いいえ", "ｎ"/"Ｎ" are No; blanks around it do not count.
// `typed` is in the terminal's encoding (UTF-8).
TypedAnswer ReadAnswer(const std::string& typed);

class Terminal {
  public:
    // `assumeYes` (--yes): the questions are answered Yes. `quiet` (--quiet):
    // only warnings and errors (and a question that must be asked) are shown;
    // information and notes are left out. `asksNothing`: a run that writes
    // nothing (--check) asks nothing: the confirmation is taken as given and
    // not shown, and a question is shown as the warning it states.
    Terminal(bool assumeYes, bool quiet, bool asksNothing = false)
        : m_bAssumeYes(assumeYes), m_bQuiet(quiet), m_bAsksNothing(asksNothing) {}

    bool Quiet() const { return m_bQuiet; }

    // Shows a message (Info, Warning, Error) on standard error.
    void Show(const Message& message) const;
    // Asks a question of a run (the year question or the confirmation): true
    // for Yes or OK, given by --yes or typed on the terminal.
    bool Answer(const Question& question) const;

    // "kw39pcaconv: " + text on standard error.
    void Note(const std::string& text) const;
    // A note that only informs: left out when quiet.
    void Inform(const std::string& text) const;
    // Text that only informs, written as it is: left out when quiet.
    void InformText(const std::string& text) const;
    // Names the option the user has to correct, after a failed check.
    void NameOptionToCorrect(const std::string& option) const;
    // The same for a rejected year, with an example of a right one.
    void NameYearToCorrect() const;

  private:
    bool m_bAssumeYes;
    bool m_bQuiet;
    bool m_bAsksNothing;
};

}  // namespace kw39::cli
