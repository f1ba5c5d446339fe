#pragma once
// What an action is: one row per action a key can carry, in the order the action list shows
// them. A row says everything the program needs to know of an action: its label, its effect,
// what its argument means, whether it holds the keys typed after it, and whether it acts on
// the press or the release. The hook's index, the key handling and the Edit Configuration
// window all ask the row; nothing else knows action codes. Adding an action is one row here
// and its effect in the key handling.

#include <cstdint>
#include <span>

namespace omnitap {

// The player's transport commands.
enum class PlayerCommand : std::int16_t {
    prevTrack,
    stop,
    play,
    nextTrack,
    pause,
    toggleShuffle,
    jumpToSong,
};

enum class Effect : std::uint8_t {
    Nothing,
    PlayPause, // play or pause, by the player's state
    Transport, // one transport command (`command`)
    ShowCurrentFile,
    CopyOrTypeTrack, // `typeIt`, `extraInfo`
    ToggleMute,
    VolumeStep, // `step` percentage points, repeating while the key is held
    MonitorsOff,
    Launch,
    SendKeys, // the key string of the argument, in one batch
    ActAsKey, // the hook sends the argument's key for each press, repeat and release
};

// What the key's argument (`webs`) means to the action.
enum class Argument : std::uint8_t {
    None,
    ModifierKey,  // a key code that must be held for a press to act: a modifier may gate it
    LaunchTarget, // the program or document to open, with its parameters
    KeyString,    // keys and text to send, in the notation of keys/send_keys.h
    KeyName,      // a key, by one of its names (keys/key_names.h)
};

enum class ActsOn : std::uint8_t { Press, Release };

struct ActionRow {
    std::int16_t code;
    const char* label;
    Effect effect;
    Argument argument = Argument::None;
    bool holdsKeys = false; // it types or fills the clipboard: keys typed after it wait for it
    ActsOn actsOn = ActsOn::Press;
    // What the "Mapping" column writes before the argument ("Launch: notepad.exe"); nullptr:
    // the label alone.
    const char* shownAs = nullptr;
    PlayerCommand command = PlayerCommand::prevTrack;
    bool typeIt = false;
    bool extraInfo = false;
    std::int32_t step = 0;
};

// The whole catalogue, in list order: "(nothing)" first, "Launch Application" last.
std::span<const ActionRow> actionCatalogue();
// The row of `code`, or nullptr for a code the catalogue does not have (from an edited file:
// such a key is still matched and swallowed, and does nothing).
const ActionRow* findAction(std::int16_t code);
// What the action of `code` reads in its argument; a code not in the catalogue reads nothing.
Argument argumentOf(std::int16_t code);

} // namespace omnitap
