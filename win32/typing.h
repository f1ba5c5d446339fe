#pragma once
#include "ports/input_marker.h"
#include "ports/typing.h"

namespace omnitap::win32 {

// Types characters as Unicode keystrokes (KEYEVENTF_UNICODE), so the text arrives as it is
// whatever the keyboard layout; sends key events with SendInput. Each keystroke is marked as
// the program's own input.
class Win32Typing final : public ports::Typing {
  public:
    void typeText(std::string_view text) override;
    std::optional<CharacterKey> keyOfCharacter(char32_t character) override;
    void sendKeys(std::span<const ports::KeyStroke> keys) override {
        sendMarkedKeys(keys, ports::kOwnInputMarker);
    }
    void sendHeldKeys(std::span<const ports::KeyStroke> keys) override {
        sendMarkedKeys(keys, ports::kHeldKeyMarker);
    }
    bool isKeyDown(std::uint8_t vk) override { return keyIsDown(vk); }
    RepeatSettings keyRepeat() override;
    std::string keyName(std::uint16_t scanCode, bool extended) override;

    // Also for the hook thread: no allocation up to 256 keys. All go in one SendInput call,
    // so that no real keystroke of the user lands between two of them.
    static void sendMarkedKeys(std::span<const ports::KeyStroke> keys, std::uintptr_t marker);
    // Physically down now (the asynchronous key state).
    static bool keyIsDown(std::uint8_t vk);
};

} // namespace omnitap::win32
