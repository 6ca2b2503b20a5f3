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

std::string HeadlessPort::ReadControlText(int id) {
    const auto it = m_mapTexts.find(id);
    return it == m_mapTexts.end() ? std::string() : it->second;
}

bool HeadlessPort::IsControlChecked(int id) {
    const auto it = m_mapChecked.find(id);
    return it != m_mapChecked.end() && it->second;
}

std::string HeadlessPort::Shown(const std::string& text) const {
    std::vector<std::string> names;
    for (const auto& [id, value] : m_mapTexts) names.push_back(value);
    return VisibleNamesIn(text, std::move(names));
}

void HeadlessPort::Note(const std::string& text, MessageStyle style) {
    if (m_pListener) m_pListener->BeforeMessage();
    if (style == MessageStyle::Confirm) return;
    m_lastStyle = style;
    m_strLastText = text;
}

MessageAnswer HeadlessPort::Answered(MessageAnswer answer) {
    if (answer == MessageAnswer::Ok && m_pListener) m_pListener->Confirmed();
    return answer;
}

MessageAnswer TerminalPort::ShowMessage(const std::string& text, MessageStyle style) {
    Note(text, style);
    if (style == MessageStyle::Confirm) return Answered(Confirm(text));
    WriteStderr(FormatMessage(Shown(text), style));
    return MessageAnswer::Ok;
}

MessageAnswer TerminalPort::Confirm(const std::string& text) {
    const std::string question = std::string(StyleWord(MessageStyle::Confirm)) + ": " + text;
    if (m_bAssumeYes) {
        WriteStderr(question + " OK (--yes)\n");
        return MessageAnswer::Ok;
    }
    if (!StdinIsTerminal()) {
        WriteStderr(question +
                    "\n標準入力が端末ではないため確認できません。確認なしで実行するには --yes "
                    "を指定してください。\n(Standard input is not a terminal: add --yes to run "
                    "without being asked.)\n");
        return MessageAnswer::Cancel;
    }
    WriteStderr(question + " [y/N] ");
    const std::optional<std::string> answer = ReadStdinLine();
    if (!answer) WriteStderr("\n");
    return answer && IsYes(*answer) ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

}  // namespace kw39::cli
