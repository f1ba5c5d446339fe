#include "hook/key_index.h"

#include "catalogue/action_catalogue.h"
#include "keys/key_names.h"

#include <algorithm>
#include <array>
#include <map>
#include <tuple>

namespace omnitap {

namespace {
constexpr std::size_t kCodes = 256;
constexpr std::size_t kScanCodes = 65536;

// Keys typed after a key whose action types or fills the clipboard must not overtake it.
bool holdsKeys(std::int16_t action) {
    const ActionRow* row = findAction(action);
    return row && row->holdsKeys;
}
// The key an entry acts as: none unless its action says so and its argument names a key.
ports::KeyStroke actAs(const KeyDef& key) {
    const ActionRow* row = findAction(key.mapm);
    if (!row || row->effect != Effect::ActAsKey) return {};
    return parseKeyName(key.webs).value_or(ports::KeyStroke{});
}
} // namespace

std::vector<KeyIndex::Entry> KeyIndex::entriesOf(const KeyTable& table) {
    std::vector<Entry> entries;
    entries.reserve(static_cast<std::size_t>(table.numKeys()));
    for (int i = 1; i <= table.numKeys(); ++i) {
        const KeyDef& key = table[i];
        // Codes outside 0..255 never come from the keyboard; such an entry cannot match.
        if (key.code < 0 || key.code > 255) continue;
        entries.push_back({i, key.code, key.code == 255 ? key.code2 : std::int16_t{0},
                           static_cast<std::uint8_t>(modifierKeyOf(key).value_or(0)),
                           holdsKeys(key.mapm), key.mods, actAs(key)});
    }
    return entries;
}

KeyIndex::Slot& KeyIndex::slotFor(std::int16_t code, std::int16_t code2) {
    if (code != 255) return byCode_[static_cast<std::uint8_t>(code)];
    if (byScanCode_.empty()) byScanCode_.resize(kScanCodes);
    return byScanCode_[static_cast<std::uint16_t>(code2)];
}

KeyIndex::KeyIndex(std::span<const Entry> entries) : byCode_(kCodes) {
    // The entries of each slot, in table order, and its gates in order of the kinds of
    // modifiers, modifiers and key (those without modifiers first, "none" first among them),
    // gathered first and laid out in one array each afterwards.
    using GateKey = std::tuple<std::uint8_t, std::uint8_t, std::uint8_t>; // kinds, mods, key
    struct GateDoes {
        bool holdsKeys = false;
        ports::KeyStroke actAs;
    };
    std::map<Slot*, std::pair<std::vector<Entry>, std::map<GateKey, GateDoes>>> bySlot;
    for (const Entry& entry : entries) {
        auto& [slotEntries, slotGates] = bySlot[&slotFor(entry.code, entry.code2)];
        slotEntries.push_back(entry);
        GateDoes& does = slotGates[{entry.mods.kinds(), entry.mods.bits(), entry.gate}];
        does.holdsKeys = does.holdsKeys || entry.holdsKeys;
        if (does.actAs.vk == 0) does.actAs = entry.actAs;
    }
    entries_.reserve(entries.size());
    for (auto& [slot, found] : bySlot) {
        slot->entryBegin = static_cast<std::uint32_t>(entries_.size());
        slot->entryCount = static_cast<std::uint32_t>(found.first.size());
        entries_.insert(entries_.end(), found.first.begin(), found.first.end());
        slot->gateBegin = static_cast<std::uint32_t>(gates_.size());
        // How many combinations need each set of kinds, then where each set begins.
        std::array<std::uint16_t, kKindSets + 1> kindStarts{};
        for (auto [gate, does] : found.second) {
            const auto [kinds, bits, key] = gate;
            const Modifiers mods = Modifiers::fromBits(bits);
            gates_.push_back({mods, ModifierTest(mods), key, does.holdsKeys, does.actAs});
            ++(mods.empty() ? slot->plainGates : kindStarts[kinds + 1u]);
        }
        for (std::size_t k = 1; k <= kKindSets; ++k)
            kindStarts[k] = static_cast<std::uint16_t>(kindStarts[k] + kindStarts[k - 1]);
        slot->comboGates = kindStarts[kKindSets];
        if (!slot->comboGates) continue;
        slot->kindsBegin = static_cast<std::uint32_t>(kindStarts_.size());
        kindStarts_.insert(kindStarts_.end(), kindStarts.begin(), kindStarts.end());
    }
}

const KeyIndex::Slot* KeyIndex::find(std::uint32_t vkCode, std::uint32_t scanCode) const {
    if (vkCode >= byCode_.size()) return nullptr;
    const Slot* slot = nullptr;
    if (vkCode != 255) {
        slot = &byCode_[vkCode];
    } else {
        // The entry's 16-bit scan code, widened with its sign, must equal the event's.
        auto scan = static_cast<std::int32_t>(scanCode);
        if (byScanCode_.empty() || scan < -32768 || scan > 32767) return nullptr;
        slot = &byScanCode_[static_cast<std::uint16_t>(static_cast<std::int16_t>(scan))];
    }
    return slot->entryCount ? slot : nullptr;
}

std::vector<int> KeyIndex::acting(const KeyEvent& event) const {
    std::vector<int> places;
    if (const Slot* slot = find(event.vkCode, event.scanCode)) {
        for (const Entry& e : std::span(entries_).subspan(slot->entryBegin, slot->entryCount))
            if (event.handling == Handling::Release ||
                (event.handling == Handling::Press &&
                 event.gates.has(OpenGates::gate(e.mods.bits(), e.gate))))
                places.push_back(e.position);
    }
    return places;
}

} // namespace omnitap
