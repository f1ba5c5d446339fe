#pragma once
// keys.ini as the system's profile functions read it: one GetPrivateProfileStringA look-up
// per value (1 + 5n look-ups), the reference for the program's own reader. The old way asked
// with a buffer of 1024 characters, which cuts a longer value; the reference asks with one
// that holds any value whole. Header-only, so that the reader comparison under bench/wine can
// use it too.

#include "keys/key_table.h"
#include "keys/lenient_number.h"
#include "ports/text_codec.h"

#include <windows.h>

#include <string>

namespace e2e {

inline std::string profileRead(const std::string& file, const std::string& key,
                               omnitap::ports::TextCodec& codec, DWORD bufferSize = 1 << 18) {
    std::string buffer(bufferSize, '\0');
    DWORD n =
        GetPrivateProfileStringA("keys", key.c_str(), "", buffer.data(), bufferSize, file.c_str());
    return codec.ansiToUtf8(std::string_view(buffer.data(), n));
}

inline omnitap::KeyTable profileLoad(const std::string& file, omnitap::ports::TextCodec& codec,
                                     DWORD bufferSize = 1 << 18) {
    omnitap::KeyTable table;
    int count = omnitap::readKeyCount(profileRead(file, "numkeys", codec, bufferSize));
    table.resize(count);
    for (int n = 1; n <= count; ++n) {
        auto read = [&](const char* field) {
            return profileRead(file, "key" + std::to_string(n) + field, codec, bufferSize);
        };
        auto number = [&](const char* field) { return omnitap::readInt16(read(field)); };
        table[n] = {number("_code"), number("_code2"), read("_name"), number("_mapm"),
                    read("_webs")};
    }
    return table;
}

} // namespace e2e
