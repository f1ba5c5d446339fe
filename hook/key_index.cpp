#include "hook/key_index.h"

#include "catalogue/action_catalogue.h"

#include <algorithm>

namespace omnitap {

namespace {
constexpr std::size_t kCodes = 256;
constexpr std::size_t kScanCodes = 65536;

// Keys typed after a key whose action types or fills the clipboard must not overtake it.
bool holdsKeys(std::int16_t action) {
    const ActionRow* row = findAction(action);
    return row && row->holdsKeys;
}
} // namespace

std::vector<KeyIndex::Entry> KeyIndex::entriesOf(const KeyTable& table) {
    std::vector<Entry> entries;
    entries.reserve(static_cast<std::size_t>(table.numKeys()));
    for (int i = 1; i <= table.numKeys(); ++i) {
        const KeyDef& key = table[i];
        // Codes outside 0..255 never come from the keyboard; such an entry cannot match.
        if (key.code < 0 || key.code > 255) continue;
        entries.push_back({key.code, key.code == 255 ? key.code2 : std::int16_t{0},
                           modifierKeyOf(key), holdsKeys(key.mapm)});
    }
    return entries;
}

KeyIndex::Slot& KeyIndex::slotFor(std::int16_t code, std::int16_t code2) {
    if (code != 255) return byCode_[static_cast<std::uint8_t>(code)];
    if (byScanCode_.empty()) byScanCode_.resize(kScanCodes);
    return byScanCode_[static_cast<std::uint16_t>(code2)];
}

KeyIndex::KeyIndex(std::span<const Entry> entries) : byCode_(kCodes) {
    // Modifier keys per slot, gathered first and laid out in one array afterwards.
    std::vector<std::pair<Slot*, std::uint8_t>> needs;
    for (const Entry& entry : entries) {
        Slot& slot = slotFor(entry.code, entry.code2);
        slot.learned = true;
        slot.holdsKeys = slot.holdsKeys || entry.holdsKeys;
        if (!entry.modifier) {
            slot.unconditional = true;
        } else if (*entry.modifier >= 1 && *entry.modifier <= 255) {
            needs.emplace_back(&slot, static_cast<std::uint8_t>(*entry.modifier));
        }
        // A modifier outside 1..255 is no key that can be down: such an entry acts on no
        // press, only on releases.
    }
    std::sort(needs.begin(), needs.end());
    needs.erase(std::unique(needs.begin(), needs.end()), needs.end());
    modifierKeys_.reserve(needs.size());
    for (std::size_t i = 0; i < needs.size(); ++i) {
        Slot* slot = needs[i].first;
        if (slot->modifierCount == 0) slot->modifierBegin = static_cast<std::uint32_t>(i);
        ++slot->modifierCount;
        modifierKeys_.push_back(needs[i].second);
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
    return slot->learned ? slot : nullptr;
}

std::span<const std::uint8_t> KeyIndex::modifiers(const Slot& slot) const {
    return {modifierKeys_.data() + slot.modifierBegin, slot.modifierCount};
}

} // namespace omnitap
