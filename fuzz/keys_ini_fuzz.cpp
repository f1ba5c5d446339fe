// Any bytes as keys.ini: the reader never fails, the count stays in range, and what it
// reads survives being written and read again unchanged.

#include "fuzz/fuzz_check.h"
#include "keys/keys_ini.h"
#include "keys/profile_text.h"
#include "tests/fakes/fake_system.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string text = omnitap::decodeProfileBytes(
        bytes, [](std::string_view ansi) { return omnitap::fakes::FakeCodec().ansiToUtf8(ansi); });
    omnitap::KeyTable table = omnitap::parseKeysIni(text);
    FUZZ_CHECK(table.numKeys() >= 0 && table.numKeys() <= 32767);
    for (int i = 1; i <= table.numKeys(); ++i) {
        // A value comes back at most 1023 characters long (UTF-8: at most 4 bytes each).
        FUZZ_CHECK(table[i].name.size() <= 4 * 1023 && table[i].webs.size() <= 4 * 1023);
    }
    // What was read is written so that it reads back the same; only a value at the reader's
    // length limit may lose its last character to the quotes around it.
    omnitap::KeyTable once = omnitap::parseKeysIni(omnitap::formatKeysIni(table));
    FUZZ_CHECK(once.numKeys() == table.numKeys());
    for (int i = 1; i <= table.numKeys(); ++i) {
        if (table[i].name.size() < 1000 && table[i].webs.size() < 1000)
            FUZZ_CHECK(once[i] == table[i]);
    }
    omnitap::KeyTable twice = omnitap::parseKeysIni(omnitap::formatKeysIni(once));
    FUZZ_CHECK(twice == once);
    return 0;
}
