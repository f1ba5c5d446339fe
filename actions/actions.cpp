#include "actions/actions.h"

#include "text/trim.h"

#include <algorithm>

namespace omnitap {
namespace {

constexpr ActionRow kCatalogue[] = {
    {0, "(nothing)", Effect::Nothing},
    {30, "Winamp: Play / Pause", Effect::PlayPause},
    {31, "Winamp: Stop", Effect::PlayerCommand, stop},
    {32, "Winamp: Previous Track", Effect::PlayerCommand, prevTrack},
    {33, "Winamp: Next Track", Effect::PlayerCommand, nextTrack},
    {35, "Winamp: Toggle Shuffle", Effect::PlayerCommand, toggleShuffle},
    {40, "Winamp: Jump to Song", Effect::PlayerCommand, jumpToSong},
    {42, "Winamp: Show current file", Effect::ShowCurrentFile},
    {50, "Winamp: Copy track to clipboard", Effect::CopyOrTypeTrack, prevTrack, false, false},
    {51, "Winamp: Type track on keyboard", Effect::CopyOrTypeTrack, prevTrack, true, false},
    {52, "Winamp: Copy track to clipboard (extra info)", Effect::CopyOrTypeTrack, prevTrack, false,
     true},
    {53, "Winamp: Type track on keyboard (extra info)", Effect::CopyOrTypeTrack, prevTrack, true,
     true},
    {300, "System: Mute / Unmute", Effect::ToggleMute},
    {301, "System: Main Volume Up", Effect::VolumeStep, prevTrack, false, false, 5},
    {302, "System: Main Volume Down", Effect::VolumeStep, prevTrack, false, false, -5},
    {400, "System: Put Monitors to Sleep", Effect::MonitorsOffOnRelease},
    {60, "Launch Application", Effect::Launch},
};

} // namespace

std::span<const ActionRow> actionCatalogue() {
    return kCatalogue;
}

const ActionRow* findAction(std::int16_t code) {
    auto it = std::find_if(std::begin(kCatalogue), std::end(kCatalogue),
                           [code](const ActionRow& row) { return row.code == code; });
    return it == std::end(kCatalogue) ? nullptr : it;
}

LaunchTarget splitLaunchTarget(std::string_view target) {
    std::string_view w = trimSpaces(target);
    bool quoted = !w.empty() && w.front() == '"';
    if (quoted) w.remove_prefix(1);
    std::size_t end = w.find(quoted ? '"' : ' ');
    std::string_view rest = end == std::string_view::npos ? std::string_view() : w.substr(end + 1);
    return {std::string(w.substr(0, end)), std::string(trimSpaces(rest))};
}

} // namespace omnitap
