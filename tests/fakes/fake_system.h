#pragma once
// In-memory stand-ins for the small system seams.

#include "ports/app_info.h"
#include "ports/message_box.h"
#include "ports/running_copies.h"
#include "ports/text_codec.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace omnitap::fakes {

// Latin-1 stands in for the ANSI code page; characters beyond it become "?".
class FakeCodec : public ports::TextCodec {
  public:
    std::string ansiToUtf8(std::string_view ansi) override;
    std::string utf8ToAnsi(std::string_view utf8) override;
    bool fitsAnsi(std::string_view utf8) override { return ansiToUtf8(utf8ToAnsi(utf8)) == utf8; }
};

struct ShownMessage {
    ports::WindowId owner;
    std::string text;
    std::string title;
    unsigned style;
};

class FakeMessageBoxes : public ports::MessageBoxes {
  public:
    std::vector<ShownMessage> shown;
    int answer = ports::mb::kAnswerOk;
    std::function<void()> onShow; // runs while the box is "up"
    int show(ports::WindowId owner, const std::string& text, const std::string& title,
             unsigned style) override {
        shown.push_back({owner, text, title, style});
        if (onShow) onShow();
        return answer;
    }
};

class FakeAppInfo : public ports::AppInfo {
  public:
    std::string folder = "C:\\Tools\\Omnitap";
    std::string baseName = "omnitap";
    int endings = 0;
    std::string exeFolder() override { return folder; }
    std::string exeBaseName() override { return baseName; }
    void endProgram() override { ++endings; }
};

// The names that running copies hold; several fakes may share it, as processes share them.
class FakeRunningCopies : public ports::RunningCopies {
  public:
    std::vector<std::string> running;
    ports::WindowId listening = 0;
    int asked = 0;
    bool claim(const std::string& name) override {
        if (std::count(running.begin(), running.end(), name)) return false;
        running.push_back(name);
        return true;
    }
    void listen(ports::WindowId window) override { listening = window; }
    void askFirstCopy() override { ++asked; }
};

} // namespace omnitap::fakes
