#pragma once
// The media player remote as the key handling sees it; player/winamp.h is the real one.

#include <cstdint>

namespace omnitap {

// The player's transport commands, by index (the index order is not the id order).
enum PlayerCommand : std::int16_t {
    prevTrack = 0,
    stop = 1,
    play = 2,
    nextTrack = 3,
    pause = 4,
    toggleShuffle = 5,
    jumpToSong = 6,
};

class PlayerControl {
  public:
    virtual ~PlayerControl() = default;
    // Looks the player window up afresh and refreshes the play status.
    virtual void findPlayer() = 0;
    // The player's last answer to the play-status query; 1 = playing.
    virtual std::int32_t playerStatus() const = 0;
    virtual void sendPlayerCommand(PlayerCommand index) = 0;
    virtual void copyOrTypeTrack(bool typeIt, bool extraInfo) = 0;
    virtual void showCurrentFile() = 0;
};

} // namespace omnitap
