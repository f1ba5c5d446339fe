// Any player caption: the title cut from it is part of what precedes the caption's last
// " - ", and it is that whole text unless a playlist number (digits and blanks before the
// first ".") was cut off, in which case it has no outer blanks. (Without a number the text
// keeps its blanks: the caption was trimmed already when it was read, and a cut at " - "
// may leave one before the dash.)

#include "fuzz/fuzz_check.h"
#include "player/track_text.h"

FUZZ_TEXT(caption) {
    std::string title = omnitap::titleFromCaption(caption);
    auto dash = caption.rfind(" - ");
    std::string_view head = dash == std::string_view::npos ? caption : caption.substr(0, dash);
    FUZZ_CHECK(head.find(title) != std::string_view::npos);
    if (title == head) return;
    std::string_view number = head.substr(0, head.find('.'));
    FUZZ_CHECK(number.size() < head.size());
    FUZZ_CHECK(number.find_first_not_of("0123456789 ") == std::string_view::npos);
    FUZZ_CHECK(number.find_first_of("0123456789") != std::string_view::npos);
    if (!title.empty()) FUZZ_CHECK(title.front() != ' ' && title.back() != ' ');
}
