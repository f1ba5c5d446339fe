#include "keyboard/key_table.h"

#include <stdexcept>

namespace omnitap {

int KeyTable::append(KeyDef key) {
    entries_.push_back(std::move(key));
    return numKeys();
}

void KeyTable::removeAt(int index) {
    if (!isKey(index)) throw std::out_of_range("KeyTable::removeAt");
    entries_.erase(entries_.begin() + index);
}

} // namespace omnitap
