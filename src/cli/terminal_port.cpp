#include "cli/terminal_port.h"

#include <string_view>
#include <utility>
#include <vector>

#include "cli/console.h"
#include "cli/visible_text.h"

namespace kw39::cli {

namespace {

std::string_view StyleWord(MessageStyle style) {
    switch (style) {
        case MessageStyle::Warning:
            return "警告 (Warning)";
        case MessageStyle::Confirm:
            return "確認 (Confirm)";
        case MessageStyle::Info:
            return "情報 (Info)";
        case MessageStyle::Error:
            return "エラー (Error)";
        case MessageStyle::Question:
            return "質問 (Question)";
    }
    return "";
}

bool IsYes(std::string answer) {
    for (char& c : answer) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    while (!answer.empty() && (answer.back() == ' ' || answer.back() == '\t')) answer.pop_back();
    while (!answer.empty() && (answer.front() == ' ' || answer.front() == '\t')) answer.erase(0, 1);
    return answer == "y" || answer == "yes";
}

}  // namespace

std::string FormatMessage(const std::string& text, MessageStyle style) {
    std::string line = std::string(StyleWord(style)) + ": " + text;
    if (line.back() != '\n') line += '\n';
    return line;
}

std::string Terminal::Shown(const std::string& text) const {
    return VisibleNamesIn(text, m_aPaths);
}

void Terminal::Show(const Message& message) {
    if (m_pListener) m_pListener->BeforeMessage();
    m_strLastText = message.text;
    Write(message);
}

bool Terminal::Confirm(const std::string& text) {
    if (m_pListener) m_pListener->BeforeMessage();
    const bool ok = Answer(text, MessageStyle::Confirm);
    if (ok && m_pListener) m_pListener->Confirmed();
    return ok;
}

bool Terminal::Ask(const Message& question) {
    if (m_pListener) m_pListener->BeforeMessage();
    return Answer(question.text, question.style);
}

void Terminal::Write(const Message& message) {
    WriteStderr(FormatMessage(Shown(message.text), message.style));
}

bool Terminal::Answer(const std::string& text, MessageStyle style) {
    const std::string question = std::string(StyleWord(style)) + ": " + text;
    if (m_bAssumeYes) {
        WriteStderr(question + (style == MessageStyle::Question ? " Yes" : " OK") + " (--yes)\n");
        return true;
    }
    if (!StdinIsTerminal()) {
        WriteStderr(question +
                    "\n標準入力が端末ではないため確認できません。確認なしで実行するには --yes "
                    "を指定してください。\n(Standard input is not a terminal: add --yes to run "
                    "without being asked.)\n");
        return false;
    }
    WriteStderr(question + " [y/N] ");
    const std::optional<std::string> answer = ReadStdinLine();
    if (!answer) WriteStderr("\n");
    return answer && IsYes(*answer);
}

}  // namespace kw39::cli
