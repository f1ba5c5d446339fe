// Any text, escaped for typing and parsed back as the typing facility reads it, is the text.

#include "fuzz/fuzz_check.h"
#include "player/key_string.h"
#include "player/track_text.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::optional<std::string> typed = omnitap::parseKeyString(omnitap::escapeForTyping(text));
    FUZZ_CHECK(typed.has_value());
    FUZZ_CHECK(*typed == text);
    return 0;
}
