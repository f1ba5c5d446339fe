#pragma once
// The text that the copy and type actions hand to the user: the track title cut out of the
// player's caption, optionally followed by the technical details the player reports, e.g.
//
//   caption   12. Some Artist - Some Song - Winamp
//   text      "Some Artist - Some Song" [44KHz/128kbps/stereo] [1:23 / 4:56]

#include <cstdint>
#include <string>
#include <string_view>

namespace omnitap {

// The title in a trimmed caption: cut at the last " - " (the player's own name follows),
// then everything up to the first "." and the one character after it (the playlist number
// and its blank), then trimmed. A caption without "." keeps its text. A "." at the very end
// leaves nothing to keep: the title is empty.
std::string titleFromCaption(std::string_view caption);

// Milliseconds to whole seconds, a half going to the even neighbour (1500 -> 2, 2500 -> 2).
std::int32_t roundToWholeSeconds(std::int32_t milliseconds);

// Minutes and seconds with no hours field: 83 -> "1:23", 3725 -> "62:05". Negative values
// carry the sign on both fields: -1 -> "0:-01", -61 -> "-1:-01".
std::string formatTime(std::int32_t seconds);

// The player's answers to the five detail queries, used as they come.
struct TrackDetails {
    std::int32_t sampleRate = 0; // kHz
    std::int32_t bitRate = 0;    // kbps
    std::int32_t channels = 0;   // 2 = stereo, anything else mono
    std::int32_t positionMs = 0; // milliseconds
    std::int32_t lengthSeconds = 0;
};

// " [44KHz/128kbps/stereo] [1:23 / 4:56]"
std::string extraInfoText(const TrackDetails& details);

// The title in double quotes.
std::string quotedTitle(std::string_view title);

} // namespace omnitap
