#pragma once
// What the hook thread sends in place of a key event it swallows: the key that the event's
// key acts as, and the no-op key that masks the release of Win or Alt after a swallowed
// combination. A few keys, kept without allocating.

#include "hook/modifier_state.h"
#include "keys/send_keys.h"
#include "ports/typing.h"

#include <cstdint>
#include <span>

namespace omnitap {

// A key sent by the program, as the event the hook would have seen.
inline KeyEvent eventOf(const ports::KeyStroke& key) {
    return {key.vk, key.scanCode,
            (key.up ? kKeyUpFlag : 0u) | (key.extended ? kExtendedKeyFlag : 0u)};
}

class SentInstead {
  public:
    // Win and Alt, both sides: the modifiers whose lone press and release open something.
    static constexpr std::uint8_t kMaskedModifiers =
        ModifierState::bit(ModifierKind::Win, false) | ModifierState::bit(ModifierKind::Win, true) |
        ModifierState::bit(ModifierKind::Alt, false) | ModifierState::bit(ModifierKind::Alt, true);

    void add(const ports::KeyStroke& key) {
        if (count_ < kMost) keys_[count_++] = key;
    }
    // The release of a modifier that a swallowed combination left, masked.
    void addMasked(const ports::KeyStroke& release) {
        add(kMaskStrokes[0]);
        add(kMaskStrokes[1]);
        add(release);
    }
    // The press of the key that a key acts as from now on (`actingAs`), held in `held` too.
    void press(const ports::KeyStroke& key, ports::KeyStroke& actingAs, ModifierState& held) {
        actingAs = key;
        add(key);
        held.apply(eventOf(key));
    }
    // The release of a key sent in place of another, masked when it is Win or Alt and a
    // combination was swallowed while it was held; it is let go in `held` and `masked`.
    void letGo(ports::KeyStroke key, std::uint8_t& masked, ModifierState& held) {
        key.up = true;
        const KeyEvent release = eventOf(key);
        const auto bit = ModifierState::bitOf(release.vkCode, release.scanCode, release.flags);
        if ((masked & bit) != 0)
            addMasked(key);
        else
            add(key);
        masked = static_cast<std::uint8_t>(masked & ~bit);
        held.apply(release);
    }
    std::span<const ports::KeyStroke> keys() const { return std::span(keys_).first(count_); }
    bool empty() const { return count_ == 0; }

  private:
    static constexpr std::uint8_t kMost = 3; // the no-op key's press and release, a key
    ports::KeyStroke keys_[kMost];
    std::uint8_t count_ = 0;
};

} // namespace omnitap
