// A RunPort without a window: the control texts come from the command line,
// messages go to standard error, and the confirmation is answered by --yes or
// on the terminal.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "run/run_port.h"

namespace kw39::cli {

// "警告 (Warning): " + text + line end: how a message appears on the terminal.
std::string FormatMessage(const std::string& text, MessageStyle style);

class TerminalPort : public RunPort {
  public:
    explicit TerminalPort(bool assumeYes) : m_bAssumeYes(assumeYes) {}

    std::string ReadControlText(int id) override;
    bool IsControlChecked(int id) override;
    MessageAnswer ShowMessage(const std::string& text, MessageStyle style) override;
    void FocusControl(int id) override { m_nFocus = id; }
    void CloseDialog() override {}

    void SetControlText(int id, std::string text) { m_mapTexts[id] = std::move(text); }
    void SetControlChecked(int id, bool checked) { m_mapChecked[id] = checked; }

    // The control the last failed check pointed at (0: none), and the style of
    // the last message shown (nothing: none yet).
    int FocusedControl() const { return m_nFocus; }
    std::optional<MessageStyle> LastMessageStyle() const { return m_lastStyle; }
    void ForgetFocusAndMessages() {
        m_nFocus = 0;
        m_lastStyle.reset();
    }

  private:
    MessageAnswer Confirm(const std::string& text);

    bool m_bAssumeYes;
    std::map<int, std::string> m_mapTexts;
    std::map<int, bool> m_mapChecked;
    int m_nFocus = 0;
    std::optional<MessageStyle> m_lastStyle;
};

}  // namespace kw39::cli
