#include "keys/modifiers.h"

#include "keys/profile_text.h"
#include "text/trim.h"

#include <optional>

namespace omnitap {
namespace {

struct KindNames {
    ModifierKind kind;
    const char *value, *shown;
};
// In the order a shortcut is shown and written.
constexpr KindNames kKinds[] = {{ModifierKind::Win, "win", "Win"},
                                {ModifierKind::Ctrl, "ctrl", "Ctrl"},
                                {ModifierKind::Alt, "alt", "Alt"},
                                {ModifierKind::Shift, "shift", "Shift"}};

// One name of the value, already folded: "ctrl", "lctrl", "rctrl", ...
std::optional<std::pair<ModifierKind, Side>> nameOf(std::string_view name) {
    Side side = Side::Either;
    if (name.size() > 1 && (name.front() == 'l' || name.front() == 'r')) {
        side = name.front() == 'l' ? Side::Left : Side::Right;
        name.remove_prefix(1);
    }
    for (const KindNames& k : kKinds)
        if (name == k.value) return std::pair{k.kind, side};
    return std::nullopt;
}

std::optional<Modifiers> parse(std::string_view text) {
    const std::string folded = foldProfileName(trimmed(text, isProfileSpace));
    Modifiers mods;
    if (folded.empty()) return mods;
    for (std::string_view rest = folded;;) {
        const std::size_t plus = rest.find('+');
        auto name = nameOf(trimmed(rest.substr(0, plus), isProfileSpace));
        if (!name || mods.of(name->first) != Side::None) return std::nullopt;
        mods.set(name->first, name->second);
        if (plus == std::string_view::npos) return mods;
        rest.remove_prefix(plus + 1);
    }
}

} // namespace

Modifiers readModifiers(std::string_view text) {
    return parse(text).value_or(Modifiers{});
}

bool modifiersReadable(std::string_view text) {
    return parse(text).has_value();
}

std::string modifiersValue(Modifiers mods) {
    std::string out;
    for (const KindNames& k : kKinds) {
        const Side side = mods.of(k.kind);
        if (side == Side::None) continue;
        if (!out.empty()) out += '+';
        out += side == Side::Left ? "l" : side == Side::Right ? "r" : "";
        out += k.value;
    }
    return out;
}

std::string shortcutText(Modifiers mods, std::string_view keyName) {
    std::string out;
    for (const KindNames& k : kKinds) {
        const Side side = mods.of(k.kind);
        if (side == Side::None) continue;
        out += side == Side::Left ? "Left " : side == Side::Right ? "Right " : "";
        out += k.shown;
        out += '+';
    }
    return out += keyName;
}

} // namespace omnitap
