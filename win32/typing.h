#pragma once
#include "ports/typing.h"

namespace omnitap::win32 {

// Types characters as Unicode keystrokes (KEYEVENTF_UNICODE), so the text arrives as it is
// whatever the keyboard layout; sends key events with SendInput. Each keystroke is marked as
// the program's own input.
class Win32Typing final : public ports::Typing {
  public:
    void typeText(std::string_view text) override;
    void sendKeys(std::span<const ports::KeyStroke> keys) override;
    bool isKeyDown(std::uint8_t vk) override;
};

} // namespace omnitap::win32
