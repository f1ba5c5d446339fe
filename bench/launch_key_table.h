#pragma once
// The table the keys.ini benchmarks load and save: `count` launch keys with quoted targets.

#include "keys/key_table.h"

#include <string>

namespace omnitap {

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

} // namespace omnitap
