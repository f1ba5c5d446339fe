#pragma once
// The small system facilities: code page, message boxes, the executable's whereabouts.

#include "ports/app_info.h"
#include "ports/message_box.h"
#include "ports/text_codec.h"

namespace omnitap::win32 {

class Win32TextCodec final : public ports::TextCodec {
  public:
    std::string ansiToUtf8(std::string_view ansi) override;
    std::string utf8ToAnsi(std::string_view utf8) override;
};

class Win32MessageBoxes final : public ports::MessageBoxes {
  public:
    int show(ports::WindowId owner, const std::string& text, const std::string& title,
             unsigned style) override;
};

class Win32AppInfo final : public ports::AppInfo {
  public:
    std::string exeFolder() override;
    std::string exeBaseName() override;
    std::string exePath() override;
    void endProgram() override;
};

} // namespace omnitap::win32
