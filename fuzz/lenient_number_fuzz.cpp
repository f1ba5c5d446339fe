// Any text as a number: no overflow or undefined behaviour, results within their ranges,
// and plain small integers read as themselves.

#include "fuzz/fuzz_check.h"
#include "keys/lenient_number.h"

#include <string>

FUZZ_TEXT(text) {
    std::int16_t field = omnitap::readInt16(text);
    std::int32_t count = omnitap::readKeyCount(text);
    std::int32_t wide = omnitap::readInt32(text);
    FUZZ_CHECK(count >= 0 && count <= 32767);
    // The 16-bit reading is the 32-bit one, clamped.
    if (wide >= -32768 && wide <= 32767) FUZZ_CHECK(field == wide);
    if (wide > 32767) FUZZ_CHECK(field == 32767);
    if (wide < -32768) FUZZ_CHECK(field == -32768);

    // A plain integer of a few digits reads exactly.
    if (!text.empty() && text.size() <= 4 && text.find_first_not_of("0123456789") == text.npos)
        FUZZ_CHECK(field == std::stoi(std::string(text)));
}
