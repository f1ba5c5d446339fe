#pragma once
// The modifiers a key entry may need: Ctrl, Alt, Shift and Win, each not at all, on either
// side, or on one side only. keys.ini keeps them in one value per key, "ctrl+alt",
// "lctrl+shift", "rwin"; the windows show them as the system writes shortcuts.

#include <cstdint>
#include <string>
#include <string_view>

namespace omnitap {

enum class ModifierKind : std::uint8_t { Ctrl, Alt, Shift, Win };
enum class Side : std::uint8_t { None, Either, Left, Right };
inline constexpr int kModifierKinds = 4;

// One bit per kind (in the order of ModifierKind) from a byte of two bits per kind: those
// whose bits are not both clear.
constexpr std::uint8_t kindsOf(std::uint8_t pairs) {
    const int any = (pairs | pairs >> 1) & 0x55;
    return static_cast<std::uint8_t>((any & 1) | (any >> 1 & 2) | (any >> 2 & 4) | (any >> 3 & 8));
}

// Two bits per kind, in the order of ModifierKind: a byte that compares and hashes as one.
class Modifiers {
  public:
    constexpr Modifiers() = default;
    static constexpr Modifiers fromBits(std::uint8_t bits) {
        Modifiers mods;
        mods.bits_ = bits;
        return mods;
    }
    constexpr Side of(ModifierKind kind) const {
        return static_cast<Side>(bits_ >> shift(kind) & 3);
    }
    constexpr Modifiers& set(ModifierKind kind, Side side) {
        bits_ = static_cast<std::uint8_t>((bits_ & ~(3 << shift(kind))) | static_cast<int>(side)
                                                                              << shift(kind));
        return *this;
    }
    constexpr bool empty() const { return bits_ == 0; }
    constexpr std::uint8_t bits() const { return bits_; }
    constexpr std::uint8_t kinds() const { return kindsOf(bits_); } // a bit for each needed
    bool operator==(const Modifiers&) const = default;

  private:
    static constexpr int shift(ModifierKind kind) { return 2 * static_cast<int>(kind); }
    std::uint8_t bits_ = 0;
};

// The value of keys.ini: its names joined by "+", in any order and case, blanks around each
// name allowed. Anything else in it (an unknown name, a kind named twice) reads as nothing,
// and so does an empty value.
Modifiers readModifiers(std::string_view text);
// Whether `text` says exactly what readModifiers makes of it: empty, or every name known.
bool modifiersReadable(std::string_view text);
// The value as written: lower case, "ctrl", "lctrl", "rctrl", ... in the order of the names
// the windows show; empty for none.
std::string modifiersValue(Modifiers mods);
// A key with its modifiers as the windows show it: "Ctrl+Alt+Right", "Win+Shift+F9",
// "Right Ctrl+F9". Win comes first, then Ctrl, Alt and Shift, as Windows writes shortcuts.
std::string shortcutText(Modifiers mods, std::string_view keyName);

} // namespace omnitap
