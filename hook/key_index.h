#pragma once
// The hook's view of the key table: an immutable index built on the UI thread when the table
// changes in a way the hook can see, and read by the hook thread. A look-up costs the same
// with 1 or 10,000 keys: one slot per virtual-key code, and one per scan code for the keys
// that report code 255.

#include "hook/key_event.h"
#include "keys/key_table.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace omnitap {

class KeyIndex {
  public:
    // What one entry of the table means to the hook; an index is made of these alone.
    struct Entry {
        std::int16_t code = 0;
        std::int16_t code2 = 0;               // compared only for code 255, else 0
        std::optional<std::int32_t> modifier; // the key that must be held for a press to act
        bool holdsKeys = false;               // its action types or fills the clipboard
        bool operator==(const Entry&) const = default;
    };
    static std::vector<Entry> entriesOf(const KeyTable& table);

    // What the entries of one key have in common.
    struct Slot {
        bool learned = false;       // at least one entry
        bool unconditional = false; // an entry acts on a press without a modifier
        bool holdsKeys = false;     // an entry's action types or fills the clipboard
        std::uint32_t modifierBegin = 0;
        std::uint32_t modifierCount = 0; // distinct modifier keys (1..255) its entries need
    };

    KeyIndex() = default;
    explicit KeyIndex(std::span<const Entry> entries);

    // The slot of an event's key, or nullptr when no entry matches its codes.
    const Slot* find(std::uint32_t vkCode, std::uint32_t scanCode) const;
    std::span<const std::uint8_t> modifiers(const Slot& slot) const;

  private:
    Slot& slotFor(std::int16_t code, std::int16_t code2);

    std::vector<Slot> byCode_;     // 256 slots, by virtual-key code
    std::vector<Slot> byScanCode_; // 65536 slots for code 255, by scan code; empty if unused
    std::vector<std::uint8_t> modifierKeys_;
};

// Whether a press of the slot's key makes an entry act: unconditionally, or with a modifier
// that `isDown(vk)` finds held now. Notes the modifiers held in the event for the UI thread.
template <typename IsDown>
bool pressActs(const KeyIndex& index, const KeyIndex::Slot& slot, KeyEvent& event,
               IsDown&& isDown) {
    bool acts = slot.unconditional;
    for (std::uint8_t vk : index.modifiers(slot)) {
        if (isDown(vk)) {
            event.modifiersDown.add(vk);
            acts = true;
        }
    }
    return acts;
}

} // namespace omnitap
