#pragma once
// The entry that starts the program with Windows, and the volume indicator.

#include "ports/indicator_window.h"
#include "ports/startup_list.h"

#include <map>
#include <string>
#include <vector>

namespace omnitap::fakes {

// The entries Windows starts at log-on; every change fails with `refusal` while it is set.
class FakeStartupList : public ports::StartupList {
  public:
    std::map<std::string, std::string> entries;
    ports::Result refusal;
    std::optional<std::string> command(const std::string& name) override {
        auto it = entries.find(name);
        return it == entries.end() ? std::nullopt : std::optional(it->second);
    }
    ports::Result setCommand(const std::string& name, const std::string& command) override {
        if (refusal.ok) entries[name] = command;
        return refusal;
    }
    ports::Result remove(const std::string& name) override {
        if (refusal.ok) entries.erase(name);
        return refusal;
    }
};

// What the volume indicator showed, in order ("Volume 45 % [45]"), and whether it is up.
class FakeIndicatorWindow : public ports::IndicatorWindow {
  public:
    std::vector<std::string> shown;
    bool visible = false;
    void show(const std::string& text, std::optional<std::int32_t> level) override {
        shown.push_back(text + (level ? " [" + std::to_string(*level) + "]" : ""));
        visible = true;
    }
    void hide() override { visible = false; }
};

} // namespace omnitap::fakes
