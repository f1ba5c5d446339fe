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

// Files kept in a map. A write can be told to fail: after `failAfterBytes` bytes of the
// temporary file, on the flush, or on the final replace; the target keeps its old content.
class FakeFiles : public platform::Files {
  public:
    enum class Fail { Never, AfterBytes, OnFlush, OnReplace };

    std::map<std::string, std::string> content;
    Fail fail = Fail::Never;
    std::size_t failAfterBytes = 0;
    std::string failureReason = "There is not enough space on the disk.";
    int writes = 0;
    std::string lastTemporary; // what reached the temporary file on the last write

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
