#pragma once
// In-memory stand-ins for the small system seams.

#include "ports/app_info.h"
#include "ports/message_box.h"
#include "ports/text_codec.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace omnitap::fakes {

// Latin-1 stands in for the ANSI code page; characters beyond it become "?".
class FakeCodec : public ports::TextCodec {
  public:
    std::string ansiToUtf8(std::string_view ansi) override;
    std::string utf8ToAnsi(std::string_view utf8) override;
};

struct ShownMessage {
    std::string text;
    std::string title;
    unsigned style;
};

class FakeMessageBoxes : public ports::MessageBoxes {
  public:
    std::vector<ShownMessage> shown;
    int answer = ports::mb::kAnswerOk;
    std::function<void()> onShow; // runs while the box is "up"

    int show(const std::string& text, const std::string& title, unsigned style) override {
        shown.push_back({text, title, style});
        if (onShow) onShow();
        return answer;
    }
};

class FakeAppInfo : public ports::AppInfo {
  public:
    std::string folder = "C:\\Tools\\Omnitap";
    std::string baseName = "omnitap";
    std::string exeFolder() override { return folder; }
    std::string exeBaseName() override { return baseName; }
    int endings = 0;
    void endProgram() override { ++endings; }
};

} // namespace omnitap::fakes
