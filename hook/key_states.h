#pragma once
// Which keys are down as far as the hook has seen, whether their presses were passed on
// or swallowed, and which other key the system sees held instead of one that acts as it. A release
// is swallowed exactly when its press was, so no program ever gets a press without its release; a
// press of a key already down is the keyboard repeating it. Hook thread only, but for the count of
// each key's presses, which the UI thread reads to tell whether a key still repeats. One slot per
// virtual-key code and per scan code of the keys that report code 255, allocated once, so that the
// hook thread never allocates.

#include "ports/typing.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <utility>

namespace omnitap {

class KeyStates {
  public:
    enum class Down : std::uint8_t { No, Passed, Swallowed };
    struct Key {
        Down down = Down::No;
        std::uint32_t lastEvent = 0;           // time of the key's last event
        ports::KeyStroke actingAs;             // the key the system sees held instead; vk 0: none
        std::atomic<std::uint32_t> presses{0}; // new and repeated, written by the hook thread
    };
    // A held key repeats at least every second or so. A press that comes later than this
    // after the key's last event is a new press: its release was lost (made on the lock
    // screen, or while the hook was gone).
    static constexpr std::uint32_t kRepeatGapMs = 1500;

    KeyStates() : keys_(std::make_unique<Key[]>(kSlots)) {}

    Key& of(std::uint32_t vkCode, std::uint32_t scanCode) { return keys_[slot(vkCode, scanCode)]; }
    // Any thread.
    std::uint32_t presses(std::uint32_t vkCode, std::uint32_t scanCode) const {
        return keys_[slot(vkCode, scanCode)].presses.load(std::memory_order_relaxed);
    }
    // Hook thread: one more press of the key (only this thread writes the count).
    static void pressed(Key& key) {
        key.presses.store(key.presses.load(std::memory_order_relaxed) + 1,
                          std::memory_order_relaxed);
    }
    // Whether a press at `time` repeats a key already down.
    static bool repeats(const Key& key, std::uint32_t time) {
        return key.down != Down::No && time - key.lastEvent <= kRepeatGapMs;
    }

    // Hook thread: every key acting as another is let go, where its release may never come (the
    // lock screen, a renewed hook): `release(key)` for the other key, up.
    template <typename Release> void releaseActing(Release&& release) {
        for (std::size_t i = 0; i < kSlots; ++i) {
            if (keys_[i].actingAs.vk == 0) continue;
            ports::KeyStroke key = std::exchange(keys_[i].actingAs, {});
            key.up = true;
            keys_[i].down = Down::No; // held on, it presses the other key again as it repeats
            release(key);
        }
    }

  private:
    static std::size_t slot(std::uint32_t vkCode, std::uint32_t scanCode) {
        return (vkCode & 0xFF) == 255 ? 256 + (scanCode & 0xFFFF) : vkCode & 0xFF;
    }
    static constexpr std::size_t kSlots = 256 + 65536;
    std::unique_ptr<Key[]> keys_;
};

} // namespace omnitap
