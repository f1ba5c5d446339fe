#pragma once
// The modifier keys held, as the hook thread follows them: Ctrl, Alt, Shift and Win, each on
// its left and right. The low-level hook reports the sided codes; the plain ones (injected by
// some tools) take their side from the scan code or the extended flag, as the system does.
// A byte, changed in place: the hook thread keeps one without allocating or locking.

#include "hook/key_event.h"
#include "keys/modifiers.h"

#include <cstdint>

namespace omnitap {

class ModifierState {
  public:
    // The bit of a held modifier: two per kind, in the order of ModifierKind, left first.
    static constexpr std::uint8_t bit(ModifierKind kind, bool right) {
        return static_cast<std::uint8_t>(1 << (2 * static_cast<int>(kind) + (right ? 1 : 0)));
    }
    // The bit of a key event's modifier, 0 for any other key.
    static constexpr std::uint8_t bitOf(std::uint32_t vk, std::uint32_t scanCode,
                                        std::uint32_t flags) {
        const bool extended = (flags & kExtendedKeyFlag) != 0;
        constexpr ModifierKind kSided[] = {ModifierKind::Shift, ModifierKind::Ctrl,
                                           ModifierKind::Alt};
        switch (vk) {
        case 0x10:
            return bit(ModifierKind::Shift, scanCode == kRightShiftScan); // VK_SHIFT
        case 0x11:
            return bit(ModifierKind::Ctrl, extended); // VK_CONTROL
        case 0x12:
            return bit(ModifierKind::Alt, extended); // VK_MENU
        case 0x5B:
        case 0x5C:
            return bit(ModifierKind::Win, vk == 0x5C); // VK_LWIN, VK_RWIN
        default: // VK_LSHIFT (0xA0) to VK_RMENU (0xA5): left and right of each in turn
            return vk >= 0xA0 && vk <= 0xA5 ? bit(kSided[(vk - 0xA0) / 2], (vk & 1) != 0) : 0;
        }
    }

    ModifierState() = default;
    explicit constexpr ModifierState(std::uint8_t held) : held_(held) {}

    // A press of a modifier holds it, a release lets it go; other keys change nothing.
    void apply(const KeyEvent& e) {
        const std::uint8_t b = bitOf(e.vkCode, e.scanCode, e.flags);
        held_ = static_cast<std::uint8_t>(e.released() ? held_ & ~b : held_ | b);
    }
    // The state anew from `isDown(vk)` (the system's view of a key), for when the hook may
    // have missed events: installed, renewed, after resume or unlock.
    template <typename IsDown> static ModifierState read(IsDown&& isDown) {
        constexpr std::uint8_t kSided[] = {0xA2, 0xA3, 0xA4, 0xA5, 0xA0, 0xA1, 0x5B, 0x5C};
        std::uint8_t held = 0;
        for (std::uint8_t vk : kSided)
            if (isDown(vk)) held = static_cast<std::uint8_t>(held | bitOf(vk, 0, 0));
        return ModifierState(held);
    }

    constexpr std::uint8_t held() const { return held_; }
    constexpr std::uint8_t kinds() const { return kindsOf(held_); } // a bit for each held
    // The kinds held, each on either side, as an entry's modifiers: the left bit of each
    // held kind is its Side::Either.
    constexpr Modifiers eitherSide() const {
        return Modifiers::fromBits(static_cast<std::uint8_t>((held_ | held_ >> 1) & 0x55));
    }
    bool operator==(const ModifierState&) const = default;

  private:
    static constexpr std::uint32_t kRightShiftScan = 0x36;
    std::uint8_t held_ = 0;
};

// Whether the held modifiers are exactly those an entry needs: each one it needs is held (on
// its side, and then not on the other), and no other kind is. An entry that needs none takes
// whatever is held. Made once per entry, when the index is built, into two comparisons of a
// byte.
class ModifierTest {
  public:
    constexpr ModifierTest() = default;
    explicit constexpr ModifierTest(Modifiers mods) {
        int mask = 0, value = 0, either = 0;
        for (int k = 0; k < kModifierKinds && !mods.empty(); ++k) {
            const auto kind = static_cast<ModifierKind>(k);
            const int left = ModifierState::bit(kind, false),
                      right = ModifierState::bit(kind, true);
            const Side side = mods.of(kind);
            (side == Side::Either ? either : mask) |= side == Side::Either ? left : left | right;
            value |= side == Side::Left ? left : side == Side::Right ? right : 0;
        }
        mask_ = static_cast<std::uint8_t>(mask);
        value_ = static_cast<std::uint8_t>(value);
        either_ = static_cast<std::uint8_t>(either);
    }
    constexpr bool passes(ModifierState state) const {
        return (state.held() & mask_) == value_ && (state.eitherSide().bits() & either_) == either_;
    }
    bool operator==(const ModifierTest&) const = default;

  private:
    std::uint8_t mask_ = 0, value_ = 0; // the sided kinds and those not to be held
    std::uint8_t either_ = 0;           // the left bits of the kinds held on either side
};

} // namespace omnitap
