#include "catalogue/action_catalogue.h"

#include <algorithm>

namespace omnitap {
namespace {

using enum Effect;
using enum Argument;

constexpr ActionRow kCatalogue[] = {
    {.code = 0, .label = "(nothing)", .effect = Nothing},
    {.code = 30, .label = "Winamp: Play / Pause", .effect = PlayPause, .argument = ModifierKey},
    {.code = 31,
     .label = "Winamp: Stop",
     .effect = Transport,
     .argument = ModifierKey,
     .command = PlayerCommand::stop},
    {.code = 32,
     .label = "Winamp: Previous Track",
     .effect = Transport,
     .argument = ModifierKey,
     .command = PlayerCommand::prevTrack},
    {.code = 33,
     .label = "Winamp: Next Track",
     .effect = Transport,
     .argument = ModifierKey,
     .command = PlayerCommand::nextTrack},
    {.code = 35,
     .label = "Winamp: Toggle Shuffle",
     .effect = Transport,
     .argument = ModifierKey,
     .command = PlayerCommand::toggleShuffle},
    {.code = 40,
     .label = "Winamp: Jump to Song",
     .effect = Transport,
     .argument = ModifierKey,
     .command = PlayerCommand::jumpToSong},
    {.code = 42, .label = "Winamp: Show current file", .effect = ShowCurrentFile},
    {.code = 50,
     .label = "Winamp: Copy track to clipboard",
     .effect = CopyOrTypeTrack,
     .holdsKeys = true},
    {.code = 51,
     .label = "Winamp: Type track on keyboard",
     .effect = CopyOrTypeTrack,
     .holdsKeys = true,
     .typeIt = true},
    {.code = 52,
     .label = "Winamp: Copy track to clipboard (extra info)",
     .effect = CopyOrTypeTrack,
     .holdsKeys = true,
     .extraInfo = true},
    {.code = 53,
     .label = "Winamp: Type track on keyboard (extra info)",
     .effect = CopyOrTypeTrack,
     .holdsKeys = true,
     .typeIt = true,
     .extraInfo = true},
    {.code = 300, .label = "System: Mute / Unmute", .effect = ToggleMute},
    {.code = 301, .label = "System: Main Volume Up", .effect = VolumeStep, .step = 5},
    {.code = 302, .label = "System: Main Volume Down", .effect = VolumeStep, .step = -5},
    {.code = 400,
     .label = "System: Put Monitors to Sleep",
     .effect = MonitorsOff,
     .actsOn = ActsOn::Release},
    {.code = 500,
     .label = "Keyboard: Send Keys",
     .effect = SendKeys,
     .argument = KeyString,
     .holdsKeys = true,
     .shownAs = "Send Keys: "},
    {.code = 501,
     .label = "Keyboard: Act as Key",
     .effect = ActAsKey,
     .argument = KeyName,
     .shownAs = "Act as: "},
    {.code = 60,
     .label = "Launch Application",
     .effect = Launch,
     .argument = LaunchTarget,
     .shownAs = "Launch: "},
};

} // namespace

std::span<const ActionRow> actionCatalogue() {
    return kCatalogue;
}

const ActionRow* findAction(std::int16_t code) {
    const auto* it = std::find_if(std::begin(kCatalogue), std::end(kCatalogue),
                                  [code](const ActionRow& row) { return row.code == code; });
    return it == std::end(kCatalogue) ? nullptr : it;
}

Argument argumentOf(std::int16_t code) {
    const ActionRow* row = findAction(code);
    return row ? row->argument : Argument::None;
}

} // namespace omnitap
