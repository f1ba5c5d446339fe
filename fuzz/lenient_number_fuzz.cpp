// Any text as a number: no overflow or undefined behaviour, results within their ranges,
// and plain small integers read as themselves.

#include "fuzz/fuzz_check.h"
#include "keys/lenient_number.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::int16_t field = omnitap::readInt16(text);
    std::int32_t count = omnitap::readKeyCount(text);
    std::int32_t wide = omnitap::readInt32(text);
    FUZZ_CHECK(count >= 0 && count <= 32767);
    // The 16-bit reading is the 32-bit one, clamped.
    if (wide >= -32768 && wide <= 32767) FUZZ_CHECK(field == wide);
    if (wide > 32767) FUZZ_CHECK(field == 32767);
    if (wide < -32768) FUZZ_CHECK(field == -32768);

    // A plain integer of a few digits reads exactly.
    bool plain = size > 0 && size <= 4;
    for (std::size_t i = 0; i < size && plain; ++i)
        plain = text[i] >= '0' && text[i] <= '9';
    if (plain) FUZZ_CHECK(field == std::stoi(std::string(text)));
    return 0;
}
