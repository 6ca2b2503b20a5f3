// RunPorts without a window: the control texts come from the command line.
// TerminalPort shows messages on standard error and has the confirmation
// answered by --yes or on the terminal; the batch records each company's
// messages instead (see batch_run.cpp).
#pragma once

#include <map>
#include <optional>
#include <string>

#include "run/run_port.h"

namespace kw39::cli {

// "警告 (Warning): " + text + line end: how a message appears on the terminal.
std::string FormatMessage(const std::string& text, MessageStyle style);

// Told by a port about its messages: a progress line steps aside for them and
// learns from the confirmation that the run proper has begun.
class PortListener {
  public:
    virtual ~PortListener() = default;
    virtual void BeforeMessage() = 0;  // a message is about to be shown
    virtual void Confirmed() = 0;      // the run was confirmed
};

// The dialog's controls as plain values, and what the last failed check did.
class HeadlessPort : public RunPort {
  public:
    std::string ReadControlText(int id) override;
    bool IsControlChecked(int id) override;
    void FocusControl(int id) override { m_nFocus = id; }
    void CloseDialog() override {}

    void SetControlText(int id, std::string text) { m_mapTexts[id] = std::move(text); }
    void SetControlChecked(int id, bool checked) { m_mapChecked[id] = checked; }

    // The control the last failed check pointed at (0: none), and the style and
    // text of the last message other than the confirmation (nothing: none yet).
    int FocusedControl() const { return m_nFocus; }
    std::optional<MessageStyle> LastMessageStyle() const { return m_lastStyle; }
    const std::string& LastMessageText() const { return m_strLastText; }
    void ForgetFocusAndMessages() {
        m_nFocus = 0;
        m_lastStyle.reset();
        m_strLastText.clear();
    }

    void SetListener(PortListener* listener) { m_pListener = listener; }

    // A message as the terminal shows it: the paths the port holds, which the
    // core quotes in its messages, with their control characters shown.
    std::string Shown(const std::string& text) const;

  protected:
    // Remembers a message and tells the listener it is coming.
    void Note(const std::string& text, MessageStyle style);
    // Tells the listener about the answer to the confirmation.
    MessageAnswer Answered(MessageAnswer answer);

  private:
    std::map<int, std::string> m_mapTexts;
    std::map<int, bool> m_mapChecked;
    int m_nFocus = 0;
    std::optional<MessageStyle> m_lastStyle;
    std::string m_strLastText;
    PortListener* m_pListener = nullptr;
};

class TerminalPort : public HeadlessPort {
  public:
    explicit TerminalPort(bool assumeYes) : m_bAssumeYes(assumeYes) {}

    MessageAnswer ShowMessage(const std::string& text, MessageStyle style) override;

  private:
    MessageAnswer Confirm(const std::string& text);

    bool m_bAssumeYes;
};

}  // namespace kw39::cli
