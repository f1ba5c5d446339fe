#pragma once
// The hook's view of the key table: an immutable index built on the UI thread after every
// change and read by the hook thread. A look-up costs the same with 1 or 10,000 keys: one
// slot per virtual-key code, and one per scan code for the keys that report code 255.

#include "hook/key_event.h"
#include "keys/key_table.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace omnitap {

class KeyIndex {
  public:
    // What the entries of one key have in common.
    struct Slot {
        bool learned = false;       // at least one entry
        bool unconditional = false; // an entry acts on a press without a modifier
        std::uint32_t modifierBegin = 0;
        std::uint32_t modifierCount = 0; // distinct modifier keys (0..255) its entries need
    };

    KeyIndex() = default;
    explicit KeyIndex(const KeyTable& table);

    // The slot of an event's key, or nullptr when no entry matches its codes.
    const Slot* find(std::uint32_t vkCode, std::uint32_t scanCode) const;
    std::span<const std::uint8_t> modifiers(const Slot& slot) const;

  private:
    Slot& slotFor(std::int16_t code, std::int16_t code2);

    std::vector<Slot> byCode_;     // 256 slots, by virtual-key code
    std::vector<Slot> byScanCode_; // 65536 slots for code 255, by scan code; empty if unused
    std::vector<std::uint8_t> modifierKeys_;
};

// The hook's decision for one event. `finderTookIt`: the Key Finder was waiting and this
// event is its key. `isDown(vk)` asks the key's physical state now. Fills in the event's
// modifier state for the UI thread. Returns true when the event is to be swallowed.
template <typename IsDown>
bool classify(const KeyIndex& index, KeyEvent& event, bool finderTookIt, IsDown&& isDown) {
    event.caughtByFinder = finderTookIt;
    bool swallow = finderTookIt;
    const KeyIndex::Slot* slot = index.find(event.vkCode, event.scanCode);
    if (!slot) return swallow;
    if (event.released() || slot->unconditional) swallow = true;
    if (!event.released()) {
        for (std::uint8_t vk : index.modifiers(*slot)) {
            if (isDown(vk)) {
                event.modifiersDown.set(vk);
                swallow = true;
            }
        }
    }
    return swallow;
}

} // namespace omnitap
