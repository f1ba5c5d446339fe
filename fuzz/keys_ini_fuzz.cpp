// Any bytes as keys.ini: the reader never fails, the count stays in range, every value it
// reads stands whole in the text, and what it reads survives being saved (as ANSI or as
// UTF-16, whichever the text needs) and read again.

#include "fuzz/fuzz_check.h"
#include "keys/keys_ini.h"
#include "keys/profile_text.h"
#include "tests/fakes/fakes.h"

#include <string>

FUZZ_TEXT(bytes) {
    omnitap::fakes::FakeCodec codec; // Latin-1 stands in for the ANSI code page
    omnitap::KeyTable table = omnitap::parseKeysIniBytes(bytes, codec);
    FUZZ_CHECK(table.numKeys() >= 0 && table.numKeys() <= 32767);
    const std::string text = omnitap::decodeProfileBytes(
        bytes, [&](std::string_view ansi) { return codec.ansiToUtf8(ansi); });
    for (int i = 1; i <= table.numKeys(); ++i) // never cut: each stands in the text in one piece
        FUZZ_CHECK(text.find(table[i].name) != std::string::npos &&
                   text.find(table[i].webs) != std::string::npos);
    FUZZ_CHECK(omnitap::parseKeysIniBytes(omnitap::keysIniBytes(table, codec), codec) == table);
}
