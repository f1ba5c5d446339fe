#pragma once
// Keyboard output: typing text into whatever window has the keyboard focus, and sending key
// presses and releases, as if from the keyboard. Everything sent carries a marker
// (ports/input_marker.h), so the program's own hook passes it on unexamined.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace omnitap::ports {

// One synthesised key event.
struct KeyStroke {
    std::uint8_t vk = 0;
    std::uint16_t scanCode = 0;
    bool up = false;
    bool extended = false; // the extended-key flag (right-hand Ctrl and Alt, arrows, ...)
    // A character typed as itself whatever the keyboard layout: `scanCode` is one of its
    // UTF-16 units, and `vk` is 0.
    bool text = false;
    bool operator==(const KeyStroke&) const = default;
};

class Typing {
  public:
    virtual ~Typing() = default;
    // Types `text` (UTF-8) into the focused window, character for character. Returns without
    // waiting for the keystrokes to be processed.
    virtual void typeText(std::string_view text) = 0;
    // The key that types a character on the keyboard layout in use, and whether it needs
    // Shift; nothing when no key of the layout types it alone or with Shift.
    struct CharacterKey {
        KeyStroke key;
        bool shift = false;
    };
    virtual std::optional<CharacterKey> keyOfCharacter(char32_t character) = 0;
    // Sends the key events in one batch, so that no real keystroke lands between them.
    virtual void sendKeys(std::span<const KeyStroke> keys) = 0;
    // The same for the user's keys that the hook held back: they carry kHeldKeyMarker instead.
    virtual void sendHeldKeys(std::span<const KeyStroke> keys) = 0;
    // Whether the key is physically down now.
    virtual bool isKeyDown(std::uint8_t vk) = 0;
    // How a held key repeats, as the user set it: the delay before the first repeat, 0 (about
    // 250 ms) to 3 (about 1 s), and the rate, 0 (about 2.5 a second) to 31 (about 30).
    struct RepeatSettings {
        std::uint32_t delay = 1;
        std::uint32_t speed = 31;
    };
    virtual RepeatSettings keyRepeat() = 0;
    // The keyboard's name for a key, as the system writes it in shortcuts ("Right", "F9",
    // "Num 6"), by its scan code and extended flag; empty when it has none.
    virtual std::string keyName(std::uint16_t scanCode, bool extended) = 0;
};

} // namespace omnitap::ports
