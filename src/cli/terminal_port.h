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
// followed by a line with its English gloss when it has one. The names it
// quotes show their control characters (line feeds too).
std::string FormatMessage(const Message& message);

// How an answer typed at the confirmation is read.
enum class TypedAnswer { Yes, No, Unknown };
// "y", "yes", "ok" in any case, "はい", full-width "ｙ"/"Ｙ" are Yes; an empty
// line, "n", "no", "いいえ", "ｎ"/"Ｎ" are No; blanks around it do not count.
// `typed` is in the terminal's encoding (UTF-8).
TypedAnswer ReadAnswer(const std::string& typed);

class Terminal {
  public:
    // `assumeYes`: the questions are answered Yes by the option `answeredBy`.
    // `quiet` (--quiet): only warnings and errors (and a question that must
    // be asked) are shown; information and notes are left out.
    Terminal(bool assumeYes, bool quiet, std::string answeredBy = "--yes")
        : m_bAssumeYes(assumeYes), m_bQuiet(quiet), m_strAnsweredBy(std::move(answeredBy)) {}

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
    std::string m_strAnsweredBy;
};

}  // namespace kw39::cli
