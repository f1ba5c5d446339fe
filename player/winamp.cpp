#include "player/winamp.h"

#include "keys/send_keys.h"
#include "player/current_file.h"
#include "player/track_text.h"
#include "text/quoted.h"
#include "text/trim.h"

#include <algorithm>
#include <iterator>

namespace omnitap {

namespace {

// The media keys as a keyboard sends them: extended keys with their own scan codes.
constexpr ports::KeyStroke mediaKey(std::uint8_t vk, std::uint16_t scanCode) {
    return {vk, scanCode, false, true};
}
constexpr ports::KeyStroke kNoMediaKey{};
constexpr ports::KeyStroke kMediaPlayPause = mediaKey(0xB3, 0x22); // VK_MEDIA_PLAY_PAUSE

using enum PlayerCommand;
constexpr PlayerCommandEntry kPlayerCommands[] = {
    {prevTrack, 40044, false, mediaKey(0xB1, 0x10)}, // VK_MEDIA_PREV_TRACK
    {stop, 40047, false, mediaKey(0xB2, 0x24)},      // VK_MEDIA_STOP
    {play, 40045, false, kMediaPlayPause},
    {nextTrack, 40048, false, mediaKey(0xB0, 0x19)}, // VK_MEDIA_NEXT_TRACK
    {pause, 40046, false, kMediaPlayPause},
    {toggleShuffle, 40023, false, kNoMediaKey},
    {jumpToSong, 40194, true, kNoMediaKey},
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
}

std::optional<std::intptr_t> Winamp::query(std::intptr_t which, std::uintptr_t argument) {
    if (playerSilent_) return std::nullopt;
    auto answer = messaging_.sendWithTimeout(playerWindow_, winamp::kWmUser, argument, which,
                                             winamp::kQueryTimeout);
    playerSilent_ = !answer;
    return answer;
}

std::optional<std::int32_t> Winamp::queryNumber(std::intptr_t which, std::uintptr_t argument) {
    auto answer = query(which, argument);
    if (!answer) return std::nullopt;
    return static_cast<std::int32_t>(*answer);
}

void Winamp::postCommand(const PlayerCommandEntry& command) {
    if (command.foregroundFirst) messaging_.bringToForeground(playerWindow_);
    messaging_.post(playerWindow_, winamp::kWmCommand, command.commandId, 0);
}

void Winamp::pressMediaKey(const PlayerCommandEntry& command) {
    if (command.mediaKey.vk == 0) return;
    ports::KeyStroke strokes[] = {command.mediaKey, command.mediaKey};
    strokes[1].up = true;
    typing_.sendKeys(strokes);
}

void Winamp::playPause() {
    findPlayer();
    if (playerWindow_ == 0) {
        pressMediaKey(*findPlayerCommand(PlayerCommand::play));
        return;
    }
    // Only this command needs the player's state: the others post at once, so a slow player
    // keeps no key waiting for an answer nobody reads. The window just asked is the one told;
    // a player that gave no status is not guessed at.
    std::optional<std::int32_t> status = queryNumber(winamp::kQueryPlayStatus, 0);
    if (status)
        postCommand(*findPlayerCommand(*status == 1 ? PlayerCommand::pause : PlayerCommand::play));
}

void Winamp::sendPlayerCommand(PlayerCommand index) {
    const PlayerCommandEntry* command = findPlayerCommand(index);
    if (!command) return;
    findPlayer();
    if (playerWindow_ == 0)
        pressMediaKey(*command);
    else
        postCommand(*command);
}

void Winamp::typeText(const std::string& text) {
    ModifierRelease release = releaseHeldModifiers(typing_);
    if (!release.before.empty()) typing_.sendKeys(release.before);
    typing_.typeText(text);
    if (!release.after.empty()) typing_.sendKeys(release.after);
}

void Winamp::copyOrTypeTrack(bool typeIt, bool extraInfo) {
    findPlayer();
    if (playerWindow_ == 0) return;
    std::string title = titleFromCaption(trimSpaces(messaging_.caption(playerWindow_)));
    if (title.empty()) return;
    std::string text = quoted(title);
    if (extraInfo) {
        // Braced, so the queries go in this order.
        text += extraInfoText(TrackDetails{
            queryNumber(winamp::kQueryStreamInfo, 0), queryNumber(winamp::kQueryStreamInfo, 1),
            queryNumber(winamp::kQueryStreamInfo, 2), queryNumber(winamp::kQueryOutputTime, 0),
            queryNumber(winamp::kQueryOutputTime, 1)});
    }
    if (typeIt)
        typeText(text);
    else
        clipboard_.setText(owner_.ownerWindow(), text);
}

std::string Winamp::getCurrentFilePath() {
    if (playerWindow_ == 0) return {};
    auto entry = queryNumber(winamp::kQueryPlaylistPosition, 0);
    if (!entry) return {};
    // The address is pointer-sized: the whole answer counts, not its low 32 bits.
    auto address =
        query(winamp::kQueryPlaylistFile, static_cast<std::uintptr_t>(std::intptr_t{*entry}));
    if (!address) return {};
    ports::ProcessId process = messaging_.owningProcess(playerWindow_);
    std::string block(kPathBufferSize, ' ');
    messaging_.readProcessMemory(process, static_cast<std::uintptr_t>(*address), block);
    std::string path = pathFromPlayerMemory(block);
    return path.empty() ? std::string() : codec_.ansiToUtf8(path);
}

void Winamp::showCurrentFile() {
    findPlayer();
    std::string path = getCurrentFilePath();
    if (!isFilePath(path)) return;
    // Explorer's switches to open the file's folder with the file selected; no blank after the
    // comma.
    shell_.execute(owner_.ownerWindow(), "Open", shell_.systemProgram("explorer.exe"),
                   "/select," + quoted(path), "", kShowNormal);
}

} // namespace omnitap
