#pragma once
// The media player remote as the key handling sees it; player/winamp.h is the real one.

#include "catalogue/action_catalogue.h"

namespace omnitap {

class PlayerControl {
  public:
    virtual ~PlayerControl() = default;
    // Pauses a player that says it is playing and plays one that says anything else; a
    // player that does not answer is left alone. Without a player, the system's play/pause
    // media key goes to whatever plays instead.
    virtual void playPause() = 0;
    // Without a player, the transport commands that have a media key send that key.
    virtual void sendPlayerCommand(PlayerCommand index) = 0;
    virtual void copyOrTypeTrack(bool typeIt, bool extraInfo) = 0;
    virtual void showCurrentFile() = 0;
};

} // namespace omnitap
