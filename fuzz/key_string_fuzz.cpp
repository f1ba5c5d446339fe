// Any key string: it reads or names a place in it, never sends half, and every key it
// presses it lets go again, in any layout.

#include "fuzz/fuzz_check.h"
#include "keys/send_keys.h"

#include <map>

namespace {

// A layout with a key for every character below 128, every other one with Shift.
struct Layout : omnitap::ports::Typing {
    void typeText(std::string_view) override {}
    void sendKeys(std::span<const omnitap::ports::KeyStroke>) override {}
    void sendHeldKeys(std::span<const omnitap::ports::KeyStroke>) override {}
    bool isKeyDown(std::uint8_t) override { return false; }
    RepeatSettings keyRepeat() override { return {}; }
    std::string keyName(std::uint16_t, bool) override { return {}; }
    std::optional<CharacterKey> keyOfCharacter(char32_t c) override {
        if (c >= 128) return std::nullopt;
        return CharacterKey{{static_cast<std::uint8_t>(c | 0x80), 0}, (c & 1) != 0};
    }
};

} // namespace

FUZZ_TEXT(text) {
    const omnitap::KeyString parsed = omnitap::parseKeyString(text);
    if (parsed.problem) {
        FUZZ_CHECK(parsed.steps.empty());
        FUZZ_CHECK(parsed.problem->place >= 1 && parsed.problem->place <= text.size() + 1);
        return;
    }
    Layout layout;
    std::map<std::uint8_t, int> down; // presses not let go yet, by key
    for (const omnitap::ports::KeyStroke& key : omnitap::strokesOf(parsed.steps, layout)) {
        if (key.text) continue;
        FUZZ_CHECK(key.up ? down[key.vk]-- > 0 : down[key.vk]++ >= 0);
    }
    for (auto [vk, presses] : down)
        FUZZ_CHECK(presses == 0);
}
