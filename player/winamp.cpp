#include "player/winamp.h"

#include "player/current_file.h"
#include "player/track_text.h"
#include "text/trim.h"

#include <algorithm>
#include <iterator>

namespace omnitap {

namespace {

constexpr PlayerCommandEntry kPlayerCommands[] = {
    {prevTrack, 40044, false}, {stop, 40047, false},  {play, 40045, false},
    {nextTrack, 40048, false}, {pause, 40046, false}, {toggleShuffle, 40023, false},
    {jumpToSong, 40194, true},
};

constexpr int kShowNormal = 1;

} // namespace

const PlayerCommandEntry* findPlayerCommand(PlayerCommand index) {
    auto found = std::find_if(std::begin(kPlayerCommands), std::end(kPlayerCommands),
                              [index](const PlayerCommandEntry& e) { return e.index == index; });
    return found == std::end(kPlayerCommands) ? nullptr : found;
}

Winamp::Winamp(ports::WindowMessaging& messaging, ports::Clipboard& clipboard,
               ports::Typing& typing, ports::Shell& shell, ports::TextCodec& codec,
               const ports::OwnerWindow& owner)
    : messaging_(messaging), clipboard_(clipboard), typing_(typing), shell_(shell), codec_(codec),
      owner_(owner) {}

void Winamp::findPlayer() {
    playerWindow_ = messaging_.findTopLevelWindow(winamp::kWindowClass);
    // Every operation starts here, so a player that was silent last time gets asked again.
    playerSilent_ = false;
    if (playerWindow_ != 0) queryPlayStatus();
}

std::int32_t Winamp::queryPlayStatus() {
    playerStatus_ = queryNumber(winamp::kQueryPlayStatus, 0);
    return playerStatus_;
}

std::intptr_t Winamp::query(std::intptr_t which, std::uintptr_t argument) {
    if (playerSilent_) return 0;
    auto answer = messaging_.sendWithTimeout(playerWindow_, winamp::kWmUser, argument, which,
                                             winamp::kQueryTimeout);
    if (!answer) {
        playerSilent_ = true;
        return 0;
    }
    return *answer;
}

void Winamp::sendPlayerCommand(PlayerCommand index) {
    findPlayer();
    if (playerWindow_ == 0) return;
    const PlayerCommandEntry* command = findPlayerCommand(index);
    if (!command) return;
    if (command->foregroundFirst) messaging_.bringToForeground(playerWindow_);
    messaging_.post(playerWindow_, winamp::kWmCommand, command->commandId, 0);
}

std::string Winamp::getWindowCaption(ports::WindowId window) {
    if (window == 0) return {};
    return std::string(trimSpaces(messaging_.caption(window)));
}

void Winamp::copyOrTypeTrack(bool typeIt, bool extraInfo) {
    findPlayer();
    std::string title = titleFromCaption(getWindowCaption(playerWindow_));
    if (title.empty()) return;
    std::string text = quotedTitle(title);
    if (extraInfo) {
        TrackDetails details;
        details.sampleRate = queryNumber(winamp::kQueryStreamInfo, 0);
        details.bitRate = queryNumber(winamp::kQueryStreamInfo, 1);
        details.channels = queryNumber(winamp::kQueryStreamInfo, 2);
        details.positionMs = queryNumber(winamp::kQueryOutputTime, 0);
        details.lengthSeconds = queryNumber(winamp::kQueryOutputTime, 1);
        text += extraInfoText(details);
    }
    if (typeIt)
        typing_.typeText(text);
    else
        clipboard_.setText(owner_.ownerWindow(), text);
}

std::string Winamp::getCurrentFilePath() {
    if (playerWindow_ == 0) return {};
    std::int32_t entry = queryNumber(winamp::kQueryPlaylistPosition, 0);
    // The address is pointer-sized: the whole answer counts, not its low 32 bits.
    auto address = static_cast<std::uintptr_t>(
        query(winamp::kQueryPlaylistFile, static_cast<std::uintptr_t>(std::intptr_t{entry})));
    ports::ProcessId process = messaging_.owningProcess(playerWindow_);
    std::string block(kPathBufferSize, ' ');
    messaging_.readProcessMemory(process, address, block);
    std::string path = pathFromPlayerMemory(block);
    return path.empty() ? std::string() : codec_.ansiToUtf8(path);
}

void Winamp::showCurrentFile() {
    findPlayer();
    std::string path = getCurrentFilePath();
    if (path.empty()) return;
    shell_.execute(owner_.ownerWindow(), "Open", "explorer.exe", explorerSelectParameters(path), "",
                   kShowNormal);
}

} // namespace omnitap
