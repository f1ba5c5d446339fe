#pragma once
// The tables the benchmarks measure with.

#include "keys/key_table.h"

#include <string>

namespace omnitap {

// For keys.ini, loaded and saved: `count` launch keys with quoted targets.
inline KeyTable launchKeyTable(int count) {
    KeyTable table;
    for (int i = 0; i < count; ++i) {
        KeyDef key;
        key.name = "Key number " + std::to_string(i + 1);
        key.code = static_cast<std::int16_t>(i % 255);
        key.code2 = static_cast<std::int16_t>(i % 127);
        key.mapm = 60;
        key.webs = "\"C:\\Program Files\\Some App\\app.exe\" /open " + std::to_string(i);
        table.append(key);
    }
    return table;
}

// For the hook's path (also the test that it never allocates): `count` keys spread over codes
// 1 to 250, a quarter of them on code 255 with their own scan codes, a third of them player
// keys with a modifier. The first is a launch key on code 1.
inline KeyTable hookKeyTable(int count) {
    KeyTable table;
    for (int i = 0; i < count; ++i) {
        KeyDef key;
        key.code = static_cast<std::int16_t>(i % 4 == 3 ? 255 : 1 + i % 250);
        key.code2 = static_cast<std::int16_t>(i);
        key.mapm = static_cast<std::int16_t>(i % 3 == 1 ? 33 : 60);
        key.webs = i % 3 == 1 ? std::to_string(16 + i % 3) : "calc.exe";
        table.append(key);
    }
    return table;
}

// The same keys, every second one a combination of one of six sets of modifiers: each code
// has some twenty combinations beside its keys without.
inline KeyTable comboKeyTable(int count) {
    constexpr const char* kSets[] = {"ctrl", "ctrl+alt", "lshift", "win+shift", "rctrl+alt", "alt"};
    KeyTable table = hookKeyTable(count);
    for (int i = 2; i <= count; i += 2)
        table[i].mods = readModifiers(kSets[i / 2 % 6]);
    return table;
}

} // namespace omnitap
