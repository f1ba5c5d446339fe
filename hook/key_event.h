#pragma once
// One key event as the program sees it: the fields of the system's low-level record, and
// what the hook found out at the moment of the event.

#include <bitset>
#include <cstdint>

namespace omnitap {

inline constexpr std::uint32_t kKeyUpFlag = 0x80; // set in `flags` when the key was released

// Which of the keys that serve as modifiers were down at the event.
using ModifierState = std::bitset<256>;

struct KeyEvent {
    std::uint32_t vkCode = 0;
    std::uint32_t scanCode = 0;
    std::uint32_t flags = 0;
    std::uint32_t time = 0;
    std::uintptr_t extraInfo = 0;

    bool caughtByFinder = false; // the Key Finder was waiting and this event is its key
    ModifierState modifiersDown;

    bool released() const { return (flags & kKeyUpFlag) != 0; }
};

} // namespace omnitap
