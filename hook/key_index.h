#pragma once
// What matches: the hook's view of the key table, an immutable index built on the UI thread
// when the table changes in a way the hook can see. A look-up costs the same with 1 or
// 10,000 keys: one slot per virtual-key code, and one per scan code for the keys that report
// code 255. The hook thread decides with it which of a key's entries act (the gates open at a
// press), and the UI thread runs exactly the entries behind those gates: nobody else matches.

#include "hook/key_event.h"
#include "hook/modifier_state.h"
#include "keys/key_table.h"

#include <cstdint>
#include <span>
#include <vector>

namespace omnitap {

class KeyIndex {
  public:
    // What one entry of the table means to the hook; an index is made of these alone.
    struct Entry {
        int position = 0; // its place in the table
        std::int16_t code = 0;
        std::int16_t code2 = 0; // compared only for code 255, else 0
        std::uint8_t gate = 0;  // the key that must be held for a press to act, 0 for none
        bool holdsKeys = false; // its action types or fills the clipboard
        Modifiers mods;         // held exactly with the key for a press to act; none: any
        ports::KeyStroke actAs; // the key it acts as; vk 0: none
        bool operator==(const Entry&) const = default;
    };
    static std::vector<Entry> entriesOf(const KeyTable& table);

    // The entries of one key that share their modifiers and gate key, and whether one of them
    // holds keys.
    struct Gate {
        Modifiers mods;
        ModifierTest test; // of `mods`
        std::uint8_t key = 0;
        bool holdsKeys = false;
        ports::KeyStroke actAs; // that of its first entry acting as another key; vk 0: none
        std::uint16_t id() const { return OpenGates::gate(mods.bits(), key); }
    };
    struct Slot {
        std::uint32_t entryBegin = 0;
        std::uint32_t entryCount = 0; // 0: no entry has this key
        std::uint32_t gateBegin = 0;
        std::uint16_t plainGates = 0; // those without modifiers ("none" first), then ...
        std::uint16_t comboGates = 0; // ... those of the combinations, by the kinds they need
        std::uint32_t kindsBegin = 0; // where, among them, each set of kinds begins (kKindSets)
    };

    KeyIndex() = default;
    explicit KeyIndex(std::span<const Entry> entries);

    // The slot of an event's key, or nullptr when no entry matches its codes.
    const Slot* find(std::uint32_t vkCode, std::uint32_t scanCode) const;

    // Hook thread: opens the gates of a press with the modifiers `held`, whose gate key
    // `isDown(vk)` finds held now (or that needs none). A combination acts only while exactly
    // its modifiers are held; while one does, the key's entries without modifiers do not,
    // else they act whatever is held. Whether an entry acts.
    template <typename IsDown>
    bool open(const Slot& slot, KeyEvent& event, IsDown&& isDown, ModifierState held) const {
        auto gates = std::span(gates_).subspan(slot.gateBegin, slot.plainGates + slot.comboGates);
        auto openThe = [&](std::span<const Gate> some) {
            for (const Gate& gate : some) {
                if (!gate.test.passes(held) || (gate.key != 0 && !isDown(gate.key))) continue;
                event.gates.add(gate.id());
                event.holdsKeys = event.holdsKeys || gate.holdsKeys;
                if (event.actAs.vk == 0) event.actAs = gate.actAs;
            }
            return !event.gates.empty();
        };
        // Only combinations of exactly the kinds held can match: a key pressed alone (none
        // held) goes straight on, and a key's other combinations are never looked at.
        auto combos = gates.subspan(slot.plainGates, 0);
        if (slot.comboGates && held.held() != 0) {
            const std::uint16_t* kinds = &kindStarts_[slot.kindsBegin + held.kinds()];
            combos = gates.subspan(slot.plainGates + kinds[0], kinds[1] - kinds[0]);
        }
        return (!combos.empty() && openThe(combos)) || openThe(gates.first(slot.plainGates));
    }
    // UI thread: the places in the table of the entries that the hook's decision makes act,
    // in table order: every entry of the key for the release of a press that acted, those
    // behind open gates for a press.
    std::vector<int> acting(const KeyEvent& event) const;

  private:
    Slot& slotFor(std::int16_t code, std::int16_t code2);

    std::vector<Slot> byCode_;     // 256 slots, by virtual-key code
    std::vector<Slot> byScanCode_; // 65536 slots for code 255, by scan code; empty if unused
    std::vector<Entry> entries_;   // by slot, in table order within one
    std::vector<Gate> gates_;      // by slot
    // For each slot with combinations, where those of each set of kinds begin, and their end.
    static constexpr std::size_t kKindSets = 1 << kModifierKinds;
    std::vector<std::uint16_t> kindStarts_;
};

} // namespace omnitap
