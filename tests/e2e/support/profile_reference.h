#pragma once
// keys.ini as the system's profile functions read it, one GetPrivateProfileStringA look-up per
// value: the reference for the program's own reader, with a buffer that holds any value whole,
// and, with the old way's 1024 characters (which cut a longer value), for bench/wine.

#include "keys/key_table.h"
#include "keys/lenient_number.h"
#include "ports/text_codec.h"

#include <windows.h>

#include <string>

namespace e2e {

inline omnitap::KeyTable profileLoad(const std::string& file, omnitap::ports::TextCodec& codec,
                                     DWORD bufferSize = 1 << 18) {
    auto read = [&](const std::string& key) {
        std::string buffer(bufferSize, '\0');
        DWORD n = GetPrivateProfileStringA("keys", key.c_str(), "", buffer.data(), bufferSize,
                                           file.c_str());
        return codec.ansiToUtf8(std::string_view(buffer.data(), n));
    };
    auto number = [&](const std::string& key) { return omnitap::readInt16(read(key)); };
    omnitap::KeyTable table;
    table.resize(omnitap::readKeyCount(read("numkeys")));
    for (int n = 1; n <= table.numKeys(); ++n) {
        const std::string key = "key" + std::to_string(n);
        table[n] = {number(key + "_code"), number(key + "_code2"), read(key + "_name"),
                    number(key + "_mapm"), read(key + "_webs")};
    }
    return table;
}

} // namespace e2e
