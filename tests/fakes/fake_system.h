#pragma once
// In-memory stand-ins for the small system seams.

#include "platform/app_info.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/text_codec.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace omnitap::fakes {

// Files kept in a map. (Failing writes: fake_file_system.h below platform::AtomicFiles.)
class FakeFiles : public platform::Files {
  public:
    std::map<std::string, std::string> content;
    int writes = 0;

    bool exists(const std::string& path) override { return content.count(path) != 0; }
    std::optional<std::string> readAll(const std::string& path) override;
    platform::WriteResult replaceAtomically(const std::string& path,
                                            const std::string& bytes) override;
};

// Latin-1 stands in for the ANSI code page; characters beyond it become "?".
class FakeCodec : public platform::TextCodec {
  public:
    std::string ansiToUtf8(std::string_view ansi) override;
    std::string utf8ToAnsi(std::string_view utf8) override;
};

struct ShownMessage {
    std::string text;
    std::string title;
    unsigned style;
};

class FakeMessageBoxes : public platform::MessageBoxes {
  public:
    std::vector<ShownMessage> shown;
    int answer = platform::mb::kAnswerOk;
    std::function<void()> onShow; // runs while the box is "up"

    int show(const std::string& text, const std::string& title, unsigned style) override {
        shown.push_back({text, title, style});
        if (onShow) onShow();
        return answer;
    }
};

class FakeAppInfo : public platform::AppInfo {
  public:
    std::string folder = "C:\\Tools\\Omnitap";
    std::string baseName = "omnitap";
    std::string exeFolder() override { return folder; }
    std::string exeBaseName() override { return baseName; }
};

} // namespace omnitap::fakes
