#pragma once
// The action catalogue: every action a key can carry, in the order the action list shows
// them, with its effect as data. The dispatcher runs a row; the Edit Configuration window
// lists the labels.

#include "player/player_control.h"
#include "ports/file_system.h"
#include "volume/volume_control.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace omnitap {

enum class Effect {
    Nothing,
    PlayPause,     // play or pause, by the player's state
    PlayerCommand, // one transport command (`command`)
    ShowCurrentFile,
    CopyOrTypeTrack, // `typeIt`, `extraInfo`
    ToggleMute,
    VolumeStep, // `step` percentage points, repeating while held
    MonitorsOffOnRelease,
    Launch,
};

struct ActionRow {
    std::int16_t code;
    const char* label;
    Effect effect;
    PlayerCommand command = prevTrack;
    bool typeIt = false;
    bool extraInfo = false;
    std::int32_t step = 0;
};

// The whole catalogue, in list order: "(nothing)" first, "Launch Application" last.
std::span<const ActionRow> actionCatalogue();
// The row of `code`, or nullptr for a code the catalogue does not have.
const ActionRow* findAction(std::int16_t code);

inline constexpr std::int16_t kLaunchAction = 60;
inline constexpr std::int16_t kMonitorsOffAction = 400;

// A launch target split into the file to open and its parameters, the way a command line
// is: blanks around the target do not count; a target that begins with a double quote names
// its file up to the closing quote (or to its end when there is none), any other ends its
// file at the first blank; the rest, trimmed of blanks, is the parameters, quotes and all.
//   notepad.exe "C:\my notes.txt"   ->  notepad.exe  |  "C:\my notes.txt"
//   "C:\My Apps\a.exe" /s          ->  C:\My Apps\a.exe  |  /s
struct LaunchTarget {
    std::string file;
    std::string parameters;
    bool operator==(const LaunchTarget&) const = default;
};
LaunchTarget splitLaunchTarget(std::string_view target);
// What a launch key opens. A quoted target splits as above. A target typed without quotes is
// opened whole when it names an existing file or folder (C:\My Docs\notes.txt); else, as the
// system reads an unquoted command line, its program is the longest part before a blank that
// names an existing file (C:\Program Files\Tool\tool.exe --fast), and only when none does is
// it split at the first blank.
LaunchTarget resolveLaunchTarget(std::string_view target, ports::FileSystem& files);

} // namespace omnitap
