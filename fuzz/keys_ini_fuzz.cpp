// Any bytes as keys.ini: the reader never fails, the count stays in range, and what it
// reads survives being saved (as ANSI or as UTF-16, whichever the text needs) and read again.

#include "fuzz/fuzz_check.h"
#include "keys/keys_ini.h"
#include "tests/fakes/fakes.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    omnitap::fakes::FakeCodec codec; // Latin-1 stands in for the ANSI code page
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    omnitap::KeyTable table = omnitap::parseKeysIniBytes(bytes, codec);
    FUZZ_CHECK(table.numKeys() >= 0 && table.numKeys() <= 32767);
    for (int i = 1; i <= table.numKeys(); ++i) {
        // A value comes back at most 1023 characters long (UTF-8: at most 4 bytes each).
        FUZZ_CHECK(table[i].name.size() <= 4 * 1023 && table[i].webs.size() <= 4 * 1023);
    }
    // Only a value at the reader's length limit may lose its last character to the quotes
    // around it.
    auto again = [&](const omnitap::KeyTable& t) {
        return omnitap::parseKeysIniBytes(omnitap::keysIniBytes(t, codec), codec);
    };
    omnitap::KeyTable once = again(table);
    FUZZ_CHECK(once.numKeys() == table.numKeys());
    for (int i = 1; i <= table.numKeys(); ++i) {
        if (table[i].name.size() < 1000 && table[i].webs.size() < 1000)
            FUZZ_CHECK(once[i] == table[i]);
    }
    FUZZ_CHECK(again(once) == once);
    return 0;
}
