// What the fuzz targets share: a dialog that answers every question with OK and
// remembers what it was shown, and the way a broken promise becomes a finding.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "run/run_port.h"

namespace kw39::fuzz {

// A finding: libFuzzer keeps the input that led here.
[[noreturn]] inline void Broken(std::string_view what) {
    std::fprintf(stderr, "broken promise: %.*s\n", static_cast<int>(what.size()), what.data());
    std::abort();
}

inline void Require(bool holds, std::string_view what) {
    if (!holds) Broken(what);
}

// Discards everything; single-button messages and confirmations answer OK.
class SilentPort : public platform::MessagePort {
  public:
    MessageAnswer ShowMessage(const std::string&, MessageStyle) override {
        return MessageAnswer::Ok;
    }
};

class HeadlessDialog : public RunPort {
  public:
    std::string ReadControlText(int id) override {
        const auto it = texts.find(id);
        return it == texts.end() ? std::string() : it->second;
    }
    bool IsControlChecked(int id) override {
        const auto it = checked.find(id);
        return it != checked.end() && it->second;
    }
    MessageAnswer ShowMessage(const std::string& text, MessageStyle style) override {
        messages.push_back({text, style});
        return MessageAnswer::Ok;
    }
    void FocusControl(int) override {}
    void CloseDialog() override { ++closeCount; }

    int Count(MessageStyle style) const {
        int n = 0;
        for (const Message& message : messages) n += message.style == style ? 1 : 0;
        return n;
    }

    struct Message {
        std::string text;
        MessageStyle style;
    };
    std::map<int, std::string> texts;
    std::map<int, bool> checked;
    std::vector<Message> messages;
    int closeCount = 0;
};

}  // namespace kw39::fuzz
