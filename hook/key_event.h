#pragma once
// One key event as the program sees it: the fields of the system's low-level record, and
// what the hook decided about it at the moment of the event.

#include "ports/typing.h"

#include <array>
#include <cstdint>

namespace omnitap {

inline constexpr std::uint32_t kExtendedKeyFlag = 0x01; // right-hand Ctrl and Alt, arrows, ...
inline constexpr std::uint32_t kInjectedFlag = 0x10;    // sent by a program, not typed
inline constexpr std::uint32_t kKeyUpFlag = 0x80;       // set in `flags` when the key was released
// The key code of a character another program typed as text; its scan code is the character.
inline constexpr std::uint32_t kPacketKey = 0xE7;

// The gates of a key that were open at its press. A gate is the modifiers that its entries
// need held exactly (Modifiers::bits(), the high byte; 0 for none) and the key that a player
// action needs held besides (the low byte; 0 for none). A key taught with more than eight
// different gates acts for the first eight open.
class OpenGates {
  public:
    static constexpr std::uint16_t gate(std::uint8_t mods, std::uint8_t key) {
        return static_cast<std::uint16_t>(mods << 8 | key);
    }
    void add(std::uint16_t gate) {
        if (count_ < kMost) gates_[count_++] = gate;
    }
    bool has(std::uint16_t gate) const {
        for (std::uint8_t i = 0; i < count_; ++i)
            if (gates_[i] == gate) return true;
        return false;
    }
    bool empty() const { return count_ == 0; }

  private:
    static constexpr std::uint8_t kMost = 8;
    std::array<std::uint16_t, kMost> gates_{};
    std::uint8_t count_ = 0;
};

// What the UI thread does with an event: the hook decides it, the UI thread acts on it.
enum class Handling : std::uint8_t {
    None,      // nothing: the UI thread does not see it
    Press,     // the entries behind its open gates act, or the Key Finder catches it
    Release,   // its press acted: every entry of the key does its release work
    EndRepeat, // a learned key's release whose press was passed on: it only ends a repeat
};

struct KeyEvent {
    std::uint32_t vkCode = 0;
    std::uint32_t scanCode = 0;
    std::uint32_t flags = 0;
    std::uint32_t time = 0; // milliseconds, the system's tick count
    std::uintptr_t extraInfo = 0;

    // What the hook decided, for the UI thread.
    Handling handling = Handling::None;
    bool caughtByFinder = false;  // the Key Finder was waiting and this press is its key
    bool holdsKeys = false;       // an acting entry types or copies: the keys after it wait
    bool resend = false;          // held back for such an action: the UI thread sends it on
    std::uint32_t heldNumber = 0; // for `resend`: its number among the held keys
    OpenGates gates;              // for Press
    // For Press: the modifier keys held at the press, as the hook follows them (the bits of
    // ModifierState, left and right of each kind); 0 for a modifier the Key Finder caught alone.
    std::uint8_t mods = 0;
    // For Press, on the hook thread: the key an acting entry makes it; vk 0: none.
    ports::KeyStroke actAs;

    bool released() const { return (flags & kKeyUpFlag) != 0; }
};

// The event as a keystroke to send again.
inline ports::KeyStroke strokeOf(const KeyEvent& e) {
    return {static_cast<std::uint8_t>(e.vkCode), static_cast<std::uint16_t>(e.scanCode),
            e.released(), (e.flags & kExtendedKeyFlag) != 0};
}

} // namespace omnitap
