// Any player caption: the title cut from it is part of it, and once the numbered head is cut
// off, without outer blanks. (Without a "." the text keeps its blanks: the caption was
// trimmed already when it was read, and a cut at " - " may leave one before the dash.)

#include "fuzz/fuzz_check.h"
#include "player/track_text.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view caption(reinterpret_cast<const char*>(data), size);
    std::string title = omnitap::titleFromCaption(caption);
    FUZZ_CHECK(title.size() <= caption.size());
    FUZZ_CHECK(caption.find(title) != std::string_view::npos);
    auto dash0 = caption.rfind(" - ");
    std::string_view head = dash0 == std::string_view::npos ? caption : caption.substr(0, dash0);
    if (!title.empty() && head.find('.') != std::string_view::npos)
        FUZZ_CHECK(title.front() != ' ' && title.back() != ' ');
    // The tail after the last " - " never survives.
    auto dash = caption.rfind(" - ");
    if (dash != std::string_view::npos && !title.empty()) {
        FUZZ_CHECK(caption.substr(0, dash).find(title) != std::string_view::npos);
    }
    return 0;
}
