#include "player/track_text.h"

#include "text/trim.h"

#include <cstdlib>

namespace omnitap {

std::string titleFromCaption(std::string_view caption) {
    std::string_view text = caption;
    if (std::size_t dash = text.rfind(" - "); dash != std::string_view::npos)
        text = text.substr(0, dash);
    std::size_t dot = text.find('.');
    if (dot == std::string_view::npos) return std::string(text);
    // The number's blank follows the dot; when the text ends before it there is no title.
    std::size_t titleStart = dot + 2;
    if (titleStart >= text.size()) return {};
    return std::string(trimSpaces(text.substr(titleStart)));
}

std::int32_t roundToWholeSeconds(std::int32_t milliseconds) {
    // Whole-number arithmetic gives exactly what dividing by 1000.0 and rounding half to
    // even gives, without depending on the floating-point rounding mode.
    std::int32_t seconds = milliseconds / 1000;
    std::int32_t rest = milliseconds % 1000;
    std::int32_t away = rest < 0 ? -1 : 1;
    std::int32_t restSize = std::abs(rest);
    if (restSize > 500 || (restSize == 500 && seconds % 2 != 0)) seconds += away;
    return seconds;
}

std::string formatTime(std::int32_t seconds) {
    std::int32_t minutes = seconds / 60;
    std::int32_t rest = seconds % 60;
    std::string restDigits = std::to_string(std::abs(rest));
    if (restDigits.size() < 2) restDigits.insert(0, 1, '0');
    std::string text = std::to_string(minutes);
    text += rest < 0 ? ":-" : ":";
    text += restDigits;
    return text;
}

std::string extraInfoText(const TrackDetails& details) {
    // Appended piece by piece: "literal" + std::string&& trips a false -Wrestrict in GCC 12.
    std::string text = " [";
    text += std::to_string(details.sampleRate);
    text += "KHz/";
    text += std::to_string(details.bitRate);
    text += "kbps/";
    text += details.channels == 2 ? "stereo" : "mono";
    text += "] [";
    text += formatTime(roundToWholeSeconds(details.positionMs));
    text += " / ";
    text += formatTime(details.lengthSeconds);
    text += "]";
    return text;
}

std::string quotedTitle(std::string_view title) {
    std::string text = "\"";
    text += title;
    text += '"';
    return text;
}

} // namespace omnitap
