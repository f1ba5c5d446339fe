#pragma once
// keys.ini as the system's profile functions read it: one GetPrivateProfileStringA look-up
// per value (1 + 5n look-ups), the reference for the program's own reader. Header-only, so
// that the reader comparison under bench/wine can use it too.

#include "keys/key_table.h"
#include "keys/lenient_number.h"
#include "ports/text_codec.h"

#include <windows.h>

#include <string>

namespace e2e {

inline std::string profileRead(const std::string& file, const std::string& key,
                               omnitap::ports::TextCodec& codec) {
    char buffer[1024];
    DWORD n = GetPrivateProfileStringA("keys", key.c_str(), "", buffer, 1024, file.c_str());
    return codec.ansiToUtf8(std::string_view(buffer, n));
}

// Stops after the count when it exceeds `maxKeys` (each look-up is slow).
inline omnitap::KeyTable profileLoad(const std::string& file, omnitap::ports::TextCodec& codec,
                                     int maxKeys = 32767) {
    omnitap::KeyTable table;
    int count = omnitap::readKeyCount(profileRead(file, "numkeys", codec));
    table.resize(count);
    if (count > maxKeys) return table;
    for (int n = 1; n <= count; ++n) {
        std::string k = "key" + std::to_string(n);
        table[n].name = profileRead(file, k + "_name", codec);
        table[n].mapm = omnitap::readInt16(profileRead(file, k + "_mapm", codec));
        table[n].code = omnitap::readInt16(profileRead(file, k + "_code", codec));
        table[n].code2 = omnitap::readInt16(profileRead(file, k + "_code2", codec));
        table[n].webs = profileRead(file, k + "_webs", codec);
    }
    return table;
}

} // namespace e2e
