#include "keys/key_table.h"

#include "catalogue/action_catalogue.h"
#include "keys/lenient_number.h"

#include <stdexcept>

namespace omnitap {

std::optional<std::int32_t> modifierKeyOf(const KeyDef& key) {
    const ActionRow* row = findAction(key.mapm);
    if (!row || row->argument != Argument::ModifierKey) return std::nullopt;
    const std::int32_t vk = readInt32(key.webs);
    if (vk < 1 || vk > 254) return std::nullopt;
    return vk;
}

int KeyTable::append(KeyDef key) {
    entries_.push_back(std::move(key));
    return numKeys();
}

void KeyTable::removeAt(int index) {
    if (!isKey(index)) throw std::out_of_range("KeyTable::removeAt");
    entries_.erase(entries_.begin() + index);
}

} // namespace omnitap
