// A headless dialog for the benchmark: fixed control texts, no questions
// asked, and every message kept so a run that went wrong can say why.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "run/run_port.h"

namespace kw39::bench {

class BenchPort : public RunPort {
  public:
    std::string ReadControlText(int id) override {
        const auto it = texts.find(id);
        return it == texts.end() ? std::string() : it->second;
    }
    bool IsControlChecked(int id) override { return checked.count(id) != 0 && checked[id]; }
    MessageAnswer ShowMessage(const std::string& text, MessageStyle) override {
        messages.push_back(text);
        return MessageAnswer::Ok;
    }
    void FocusControl(int) override {}
    void CloseDialog() override {}

    std::map<int, std::string> texts;
    std::map<int, bool> checked;
    std::vector<std::string> messages;  // CP932
};

}  // namespace kw39::bench
