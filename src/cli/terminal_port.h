// How the command line shows the messages of a run: on standard error with
// their kind, the confirmation answered by --yes or on the terminal. A batch
// keeps each company's messages instead and shows them with its result line.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/message_port.h"

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

// What a question states, without the question on its last line: "支給日の年は
// ... が指定されています。" of "...\nこのまま続けますか？".
std::string QuestionStatement(const std::string& question);

// How an answer typed at the confirmation is read.
enum class TypedAnswer { Yes, No, Unknown };
// "y", "yes", "ok" in any case, "はい", full-width "ｙ"/"Ｙ" are Yes; an empty
// line, "n", "no", "いいえ", "ｎ"/"Ｎ" are No; blanks around it do not count.
// `typed` is in the terminal's encoding (UTF-8).
TypedAnswer ReadAnswer(const std::string& typed);

// Told about the messages of a run: a progress line steps aside for them and
// learns from the confirmation that the run proper has begun.
class PortListener {
  public:
    virtual ~PortListener() = default;
    virtual void BeforeMessage() = 0;  // a message is about to be shown
    virtual void Confirmed() = 0;      // the run was confirmed
};

class Terminal {
  public:
    // `assumeYes`: the confirmation is answered OK by the option `answeredBy`.
    explicit Terminal(bool assumeYes, std::string answeredBy = "--yes")
        : m_bAssumeYes(assumeYes), m_strAnsweredBy(std::move(answeredBy)) {}
    virtual ~Terminal() = default;

    // Shows a message (Info, Warning, Error) and remembers it as the last one.
    void Show(const Message& message);
    void Show(const std::string& text, MessageStyle style) { Show(Message{text, style}); }
    // Asks the confirmation; true for OK.
    bool Confirm(const std::string& text);
    // Asks a Question as the confirmation is asked; true for Yes.
    bool Ask(const Message& question);

    // The paths of the run, which its messages quote: shown with their control
    // characters visible.
    void SetShownPaths(std::vector<std::string> paths) { m_aPaths = std::move(paths); }
    std::string Shown(const std::string& text) const;

    const std::string& LastMessageText() const { return m_strLastText; }
    void SetListener(PortListener* listener) { m_pListener = listener; }

    // A run that writes nothing (--check) asks nothing: the confirmation is
    // taken as given and not shown, and a question is shown as the warning
    // it states, without the question.
    void AskNothing() { m_bAsksNothing = true; }

  protected:
    bool AsksNothing() const { return m_bAsksNothing; }
    // Where a shown message goes: standard error here.
    virtual void Write(const Message& message);
    // The answer to the confirmation or a question (`style`): --yes, or typed
    // on the terminal.
    virtual bool Answer(const std::string& text, MessageStyle style);

  private:
    bool m_bAssumeYes;
    bool m_bAsksNothing = false;
    std::string m_strAnsweredBy;
    std::vector<std::string> m_aPaths;
    std::string m_strLastText;
    PortListener* m_pListener = nullptr;
};

// One company of a batch: its messages are kept for its result line, and the
// batch's one confirmation has answered its own and its questions; a question
// is kept with its answer.
class CompanyTerminal : public Terminal {
  public:
    CompanyTerminal() : Terminal(true) {}
    const std::vector<Message>& Messages() const { return m_aMessages; }

  protected:
    void Write(const Message& message) override { m_aMessages.push_back(message); }
    bool Answer(const std::string& text, MessageStyle style) override {
        if (style != MessageStyle::Question) return true;
        if (AsksNothing()) {
            m_aMessages.push_back({QuestionStatement(text), MessageStyle::Warning});
        } else {
            m_aMessages.push_back({text + " Yes", style});
        }
        return true;
    }

  private:
    std::vector<Message> m_aMessages;
};

}  // namespace kw39::cli
