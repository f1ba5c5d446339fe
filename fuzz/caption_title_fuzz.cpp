// Any player caption: the title cut from it is part of what precedes the caption's last
// " - ", and once a playlist number is cut off, without outer blanks. (Without a number the
// text keeps its blanks: the caption was trimmed already when it was read, and a cut at
// " - " may leave one before the dash.)

#include "fuzz/fuzz_check.h"
#include "player/track_text.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view caption(reinterpret_cast<const char*>(data), size);
    std::string title = omnitap::titleFromCaption(caption);
    auto dash = caption.rfind(" - ");
    std::string_view head = dash == std::string_view::npos ? caption : caption.substr(0, dash);
    FUZZ_CHECK(head.find(title) != std::string_view::npos);
    // The text is kept whole unless a dot follows nothing but digits and blanks.
    auto dot = head.find('.');
    bool numbered =
        dot != std::string_view::npos &&
        head.substr(0, dot).find_first_not_of("0123456789 ") == std::string_view::npos &&
        head.substr(0, dot).find_first_of("0123456789") != std::string_view::npos;
    if (!numbered) FUZZ_CHECK(title == head);
    if (numbered && !title.empty()) FUZZ_CHECK(title.front() != ' ' && title.back() != ' ');
    return 0;
}
