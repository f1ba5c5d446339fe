#pragma once
// One key event as the program sees it: the fields of the system's low-level record, and
// what the hook decided about it at the moment of the event.

#include "ports/typing.h"

#include <array>
#include <cstdint>

namespace omnitap {

inline constexpr std::uint32_t kExtendedKeyFlag = 0x01; // right-hand Ctrl and Alt, arrows, ...
inline constexpr std::uint32_t kKeyUpFlag = 0x80;       // set in `flags` when the key was released

// The modifier keys that were down at a press, among those that the entries of its key need.
// A key taught with more than seven different modifiers acts for the first seven held.
class ModifiersDown {
  public:
    void add(std::uint8_t vk) {
        if (count_ < kMost) keys_[count_++] = vk;
    }
    bool has(std::int32_t vk) const {
        for (std::uint8_t i = 0; i < count_; ++i)
            if (keys_[i] == vk) return true;
        return false;
    }

  private:
    static constexpr std::uint8_t kMost = 7;
    std::array<std::uint8_t, kMost> keys_{};
    std::uint8_t count_ = 0;
};

struct KeyEvent {
    std::uint32_t vkCode = 0;
    std::uint32_t scanCode = 0;
    std::uint32_t flags = 0;
    std::uint32_t time = 0; // milliseconds, the system's tick count
    std::uintptr_t extraInfo = 0;

    // What the hook decided, for the UI thread.
    bool act = false;             // a learned key or the Key Finder's key: the handling matches it
    bool caughtByFinder = false;  // the Key Finder was waiting and this press is its key
    bool holdsKeys = false;       // its action types or copies: the keys after it wait for it
    bool resend = false;          // a key held back for such an action: the UI thread sends it on
    std::uint32_t heldNumber = 0; // for `resend`: its number among the held keys
    ModifiersDown modifiersDown;

    bool released() const { return (flags & kKeyUpFlag) != 0; }
};

// The event as a keystroke to send again.
inline ports::KeyStroke strokeOf(const KeyEvent& e) {
    return {static_cast<std::uint8_t>(e.vkCode), static_cast<std::uint16_t>(e.scanCode),
            e.released(), (e.flags & kExtendedKeyFlag) != 0};
}

} // namespace omnitap
