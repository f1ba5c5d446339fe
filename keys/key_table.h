#pragma once
// The learned keys. Element 0 of the table exists and never holds a key; learned keys are
// elements 1..numKeys(), so an index names a key everywhere in the program.

#include "keys/modifiers.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace omnitap {

struct KeyDef {
    std::int16_t code = 0;  // virtual-key code
    std::int16_t code2 = 0; // scan code, compared only for virtual-key code 255
    std::string name;       // UTF-8
    std::int16_t mapm = 0;  // action code, 0 = nothing
    std::string webs;       // action argument, UTF-8
    Modifiers mods;         // held with the key for it to act; none: whatever is held

    bool operator==(const KeyDef&) const = default;
};

// The key that must be held for an entry to act on a press: for an action whose argument is a
// modifier key, the argument when it reads as a key code from 1 to 254. Anything else (empty,
// a launch target left over from another action, 0, out of range) means no modifier.
std::optional<std::int32_t> modifierKeyOf(const KeyDef& key);

class KeyTable {
  public:
    KeyTable() : entries_(1) {}

    int numKeys() const { return static_cast<int>(entries_.size()) - 1; }
    bool empty() const { return numKeys() == 0; }
    bool isKey(int index) const { return index >= 1 && index <= numKeys(); }

    KeyDef& operator[](int index) { return entries_.at(static_cast<std::size_t>(index)); }
    const KeyDef& operator[](int index) const {
        return entries_.at(static_cast<std::size_t>(index));
    }

    // Grows the table by one entry at the end; returns its index.
    int append(KeyDef key);
    // Removes entry `index`; the keys after it move down by one, keeping their order.
    void removeAt(int index);
    // Back to element 0 only.
    void clear() { entries_.resize(1); }
    // Exactly `count` keys, every new one empty.
    void resize(int count) { entries_.assign(static_cast<std::size_t>(count) + 1, KeyDef{}); }

    bool operator==(const KeyTable&) const = default;

  private:
    std::vector<KeyDef> entries_;
};

} // namespace omnitap
