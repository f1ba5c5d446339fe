#pragma once
// The media player remote control. Winamp runs as its own program; it is found afresh by
// its window class before every operation (so a player started, closed or restarted since
// the last key press needs no notice), driven with posted WM_COMMAND ids, asked with WM_USER
// queries, and read from its caption and its memory.
//
// Every query is sent with a time-out, so a hung player cannot freeze the program: a query
// left unanswered counts as 0, and the rest of that operation's queries are not sent at all
// (they would only wait again), so one key press costs at most one time-out per look-up.

#include "player/player_control.h"
#include "ports/clipboard.h"
#include "ports/shell.h"
#include "ports/text_codec.h"
#include "ports/typing.h"
#include "ports/window_messaging.h"

#include <chrono>
#include <cstdint>
#include <string>

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
inline constexpr std::chrono::milliseconds kQueryTimeout{500};
} // namespace winamp

// The command id posted for a transport command, and whether the player window is brought
// to the foreground first. Unknown indexes have no entry.
struct PlayerCommandEntry {
    PlayerCommand index;
    std::uint16_t commandId;
    bool foregroundFirst;
};
const PlayerCommandEntry* findPlayerCommand(PlayerCommand index);

class Winamp final : public PlayerControl {
  public:
    Winamp(ports::WindowMessaging& messaging, ports::Clipboard& clipboard, ports::Typing& typing,
           ports::Shell& shell, ports::TextCodec& codec, const ports::OwnerWindow& owner);

    void findPlayer() override;
    std::int32_t playerStatus() const override { return playerStatus_; }
    void sendPlayerCommand(PlayerCommand index) override;
    void copyOrTypeTrack(bool typeIt, bool extraInfo) override;
    void showCurrentFile() override;

    // Asks the play status and remembers it. Only meaningful after a window was found.
    std::int32_t queryPlayStatus();
    // The caption of `window`, trimmed of spaces; empty for no window.
    std::string getWindowCaption(ports::WindowId window);
    // The path of the current playlist entry (UTF-8), or empty when it cannot be had.
    std::string getCurrentFilePath();

    ports::WindowId playerWindow() const { return playerWindow_; }

  private:
    // The player's answer, or 0 when it did not come (see above).
    std::intptr_t query(std::intptr_t which, std::uintptr_t argument);
    std::int32_t queryNumber(std::intptr_t which, std::uintptr_t argument) {
        return static_cast<std::int32_t>(query(which, argument));
    }

    ports::WindowMessaging& messaging_;
    ports::Clipboard& clipboard_;
    ports::Typing& typing_;
    ports::Shell& shell_;
    ports::TextCodec& codec_;
    const ports::OwnerWindow& owner_; // of Explorer and the clipboard's text

    ports::WindowId playerWindow_ = 0;
    std::int32_t playerStatus_ = 0;
    bool playerSilent_ = false; // a query of the current operation went unanswered
};

} // namespace omnitap
