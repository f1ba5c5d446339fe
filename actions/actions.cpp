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

LaunchTarget resolveLaunchTarget(std::string_view target, ports::FileSystem& files) {
    std::string_view w = trimSpaces(target);
    if (w.empty() || w.front() == '"') return splitLaunchTarget(w);
    using ports::PathKind;
    if (files.kindOf(std::string(w)) != PathKind::None) return {std::string(w), {}};
    // w is trimmed, so every blank in it has something before it.
    for (std::size_t blank = w.rfind(' '); blank != std::string_view::npos && blank > 0;
         blank = w.rfind(' ', blank - 1)) {
        std::string program(trimSpaces(w.substr(0, blank)));
        if (files.kindOf(program) == PathKind::File)
            return {std::move(program), std::string(trimSpaces(w.substr(blank + 1)))};
    }
    return splitLaunchTarget(w);
}

} // namespace omnitap
