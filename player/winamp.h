#pragma once
// The media player remote control. Winamp runs as its own program; it is found afresh by
// its window class before every operation (so a player started, closed or restarted since
// the last key press needs no notice), driven with posted WM_COMMAND ids, asked with WM_USER
// queries, and read from its caption and its memory. When it is not running, the transport
// commands go out as the system's media keys, which browsers and streaming apps obey.
//
// Every query is sent with a time-out, so a hung player cannot freeze the program. An answer
// that did not come is never taken for one: whatever depended on it is not done, and the
// rest of that operation's queries are not sent at all (they would only wait again), so one
// key press costs at most one time-out.

#include "player/player_control.h"
#include "ports/clipboard.h"
#include "ports/shell.h"
#include "ports/text_codec.h"
#include "ports/typing.h"
#include "ports/window_messaging.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace omnitap {

namespace winamp {
inline constexpr const char* kWindowClass = "Winamp v1.x";
inline constexpr std::uint32_t kWmCommand = 273;
inline constexpr std::uint32_t kWmUser = 1024;
// Queries: the lParam of a WM_USER message; wParam is the query's argument.
inline constexpr std::intptr_t kQueryPlayStatus = 104; // 1 = playing
inline constexpr std::intptr_t kQueryOutputTime = 105; // 0: position ms, 1: length s
inline constexpr std::intptr_t kQueryPlaylistPosition = 125;
inline constexpr std::intptr_t kQueryStreamInfo = 126;   // 0: kHz, 1: kbps, 2: channels
inline constexpr std::intptr_t kQueryPlaylistFile = 211; // wParam: entry; answer: address
// The key handling runs on the UI thread, which the hook never waits for, so a slow player
// gets a generous while to answer; a hung one is given up on at once (abort-if-hung).
inline constexpr std::chrono::milliseconds kQueryTimeout{2000};
} // namespace winamp

// The command id posted for a transport command, whether the player window is brought to
// the foreground first, and the media key sent when there is no player (vk 0: none, the
// command needs the player). Unknown indexes have no entry.
struct PlayerCommandEntry {
    PlayerCommand index;
    std::uint16_t commandId;
    bool foregroundFirst;
    ports::KeyStroke mediaKey;
};
const PlayerCommandEntry* findPlayerCommand(PlayerCommand index);

class Winamp final : public PlayerControl {
  public:
    Winamp(ports::WindowMessaging& messaging, ports::Clipboard& clipboard, ports::Typing& typing,
           ports::Shell& shell, ports::TextCodec& codec, const ports::OwnerWindow& owner);

    void playPause() override;
    void sendPlayerCommand(PlayerCommand index) override;
    void copyOrTypeTrack(bool typeIt, bool extraInfo) override;
    void showCurrentFile() override;

  private:
    // Looks the player window up.
    void findPlayer();
    // The path of the current playlist entry (UTF-8), or empty when it cannot be had.
    std::string getCurrentFilePath();
    // The player's answer; nothing when it did not come (see above).
    std::optional<std::intptr_t> query(std::intptr_t which, std::uintptr_t argument);
    std::optional<std::int32_t> queryNumber(std::intptr_t which, std::uintptr_t argument);
    void postCommand(const PlayerCommandEntry& command);
    void pressMediaKey(const PlayerCommandEntry& command);
    void typeText(const std::string& text);

    ports::WindowMessaging& messaging_;
    ports::Clipboard& clipboard_;
    ports::Typing& typing_;
    ports::Shell& shell_;
    ports::TextCodec& codec_;
    const ports::OwnerWindow& owner_; // of Explorer and the clipboard's text

    ports::WindowId playerWindow_ = 0;
    bool playerSilent_ = false; // a query of the current operation went unanswered
};

} // namespace omnitap
