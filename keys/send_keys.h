#pragma once
// Keys sent as if typed: the key strings of "Send Keys", in the notation of SendKeys, and the
// modifiers the user holds, lifted around whatever the program types.
//   +  ^  %        Shift, Ctrl, Alt held over the next key or group ("^c", "+{TAB}", "^+(ab)")
//   {WIN}          the left Windows key so ({LWIN}, {RWIN}: either one); alone, with nothing
//                  after it, it is pressed by itself
//   ~              Enter
//   (...)          a group: the modifiers before it are held over all of it
//   {ENTER} {F5}   a key by its name, any name of keys/key_names.h ({TAB}, {ESC}, {DEL},
//                  {LEFT}, {PGUP}, {F1} to {F24}, {BS}, {PRTSC}, {ADD} ...)
//   {x 3}          a key or a character that many times (at most 1000): {LEFT 42}, {a 3}
//   {+} {^} {%} {~} {(} {)} {{} {}}   the characters themselves
// Any other character is typed as itself, in any language. Under a modifier, a character is
// the key that types it on the keyboard layout ("^a" is Ctrl+A, "^A" Ctrl+Shift+A).

#include "ports/typing.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace omnitap {

// One step of a key string.
struct SendStep {
    enum class Kind : std::uint8_t {
        Key,          // `key` pressed, or released
        Character,    // `character` typed as itself
        CharacterKey, // the key that types `character`, pressed, or released (`key.up`)
    };
    Kind kind = Kind::Key;
    ports::KeyStroke key;
    char32_t character = 0;
    bool operator==(const SendStep&) const = default;
};

// Where a key string stops making sense: the character, counting from 1, and why.
struct KeyStringProblem {
    std::size_t place = 0;
    std::string reason;
};
struct KeyString {
    std::vector<SendStep> steps; // none when there is a problem: nothing is ever sent half
    std::optional<KeyStringProblem> problem;
};
KeyString parseKeyString(std::string_view text);
// "At character 5: this { is never closed", for the window that edits the string.
std::string problemText(const KeyStringProblem& problem);

// The keystrokes of the steps, in order, for one batch: a character as text, or under a
// modifier as the key `layout` types it with (with Shift, unless Shift is held already), or
// as text when no key of the layout types it.
std::vector<ports::KeyStroke> strokesOf(std::span<const SendStep> steps, ports::Typing& layout);
// The text (UTF-8) as characters typed: a press and a release of each UTF-16 unit, so that a
// character beyond the basic plane goes as its two surrogates, which the system joins.
void appendTextStrokes(std::vector<ports::KeyStroke>& strokes, std::string_view text);

// Typed text must not meet the modifiers the user still holds from the key that typed it
// (Alt+F6 would turn the title into Alt shortcuts). `before` lifts the modifiers that are
// down (Ctrl, Alt, Shift, Windows, either hand) and `after` presses them again. Where Alt
// or Windows is among them, an unassigned key is tapped while it is down, before lifting it
// and after pressing it again: the focused window then never sees Alt pressed and released
// on its own, which would open its menu (the Windows key: the Start menu).
// The press and release of 0xE8, a key code no program gives a meaning: tapped while Alt or
// Windows is down, it keeps their release from opening a menu (the hook's probe too).
inline constexpr ports::KeyStroke kMaskStrokes[] = {{0xE8, 0, false, false},
                                                    {0xE8, 0, true, false}};
struct ModifierRelease {
    std::vector<ports::KeyStroke> before, after;
};
ModifierRelease releaseHeldModifiers(ports::Typing& keyboard);

} // namespace omnitap
