#include "player/track_text.h"

#include "text/trim.h"

#include <algorithm>
#include <initializer_list>

namespace omnitap {

namespace {

// "12" or " 12 ": the playlist number the player puts before the title.
bool isPlaylistNumber(std::string_view text) {
    text = trimSpaces(text);
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A bracket of the pieces that are there, joined by `separator`; nothing when none is.
std::string bracket(std::initializer_list<std::string> pieces, std::string_view separator) {
    std::string text;
    for (const std::string& piece : pieces) {
        if (piece.empty()) continue;
        if (!text.empty()) text += separator;
        text += piece;
    }
    return text.empty() ? text : " [" + text + "]";
}

std::string withUnit(const std::optional<std::int32_t>& value, const char* unit) {
    return value ? std::to_string(*value) + unit : std::string();
}

std::string channelsText(const std::optional<std::int32_t>& channels) {
    if (!channels || *channels < 1) return {};
    if (*channels == 1) return "mono";
    if (*channels == 2) return "stereo";
    return std::to_string(*channels) + "ch";
}

// A time that is not negative, to whole seconds with halves to the even neighbour: exactly
// what dividing by 1000.0 and rounding half to even gives, without depending on the
// floating-point rounding mode.
std::int32_t roundToWholeSeconds(std::int32_t milliseconds) {
    std::int32_t seconds = milliseconds / 1000;
    std::int32_t rest = milliseconds % 1000;
    if (rest > 500 || (rest == 500 && seconds % 2 != 0)) ++seconds;
    return seconds;
}

std::string formatTime(std::int32_t seconds) {
    std::string rest = std::to_string(seconds % 60);
    if (rest.size() < 2) rest.insert(0, 1, '0');
    std::string text = std::to_string(seconds / 60);
    text += ':';
    text += rest;
    return text;
}

} // namespace

std::string titleFromCaption(std::string_view caption) {
    std::string_view text = caption;
    if (std::size_t dash = text.rfind(" - "); dash != std::string_view::npos)
        text = text.substr(0, dash);
    std::size_t dot = text.find('.');
    if (dot == std::string_view::npos || !isPlaylistNumber(text.substr(0, dot)))
        return std::string(text);
    // The number's blank follows the dot; when the text ends before it there is no title.
    std::size_t titleStart = dot + 2;
    if (titleStart >= text.size()) return {};
    return std::string(trimSpaces(text.substr(titleStart)));
}

std::string extraInfoText(const TrackDetails& details) {
    std::string position, length;
    if (details.positionMs && *details.positionMs >= 0)
        position = formatTime(roundToWholeSeconds(*details.positionMs));
    if (details.lengthSeconds && *details.lengthSeconds >= 0)
        length = formatTime(*details.lengthSeconds);
    if (position.empty() && !length.empty()) length.insert(0, "/ ");
    return bracket({withUnit(details.sampleRate, "KHz"), withUnit(details.bitRate, "kbps"),
                    channelsText(details.channels)},
                   "/") +
           bracket({position, length}, " / ");
}

} // namespace omnitap
