#pragma once
// The text that the copy and type actions hand to the user: the track title cut out of the
// player's caption, optionally followed by the technical details the player reports, e.g.
//
//   caption   12. Some Artist - Some Song - Winamp
//   text      "Some Artist - Some Song" [44KHz/128kbps/stereo] [1:23 / 4:56]

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace omnitap {

// The title in a trimmed caption: cut at the last " - " (the player's own name follows);
// then, when the text before the first "." is a playlist number (digits, maybe with blanks),
// that number, the "." and the one character after it go and the rest is trimmed. A title
// without a number keeps its dots ("R.E.M. - Losing My Religion"). A number with nothing
// after it leaves an empty title.
std::string titleFromCaption(std::string_view caption);

// The player's answers to the five detail queries; nothing where an answer did not come.
struct TrackDetails {
    std::optional<std::int32_t> sampleRate; // kHz
    std::optional<std::int32_t> bitRate;    // kbps
    std::optional<std::int32_t> channels;
    std::optional<std::int32_t> positionMs;
    std::optional<std::int32_t> lengthSeconds;
};

// " [44KHz/128kbps/stereo] [1:23 / 4:56]": the position rounded to whole seconds, a half
// going to the even neighbour (1500 ms -> 0:02, 2500 ms -> 0:02), minutes without an hours
// field (3725 s -> 62:05). Only what the player said is written: a missing answer, a
// negative time (a stream of unknown length answers -1) or a channel count below one is left
// out, and a bracket with nothing left in it goes as a whole; a length without a position
// keeps its slash ("[/ 4:56]") so that it does not read as a position. More than two
// channels are written as their number ("6ch").
std::string extraInfoText(const TrackDetails& details);

} // namespace omnitap
