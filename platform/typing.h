#pragma once
// Typing text into whatever window has the keyboard focus, as if from the keyboard.

#include <string_view>

namespace omnitap::platform {

class Typing {
  public:
    virtual ~Typing() = default;
    // Types `keys`, written in the key-string notation of player/key_string.h, into the
    // focused window. Returns without waiting for the keystrokes to be processed. Text that
    // the notation rejects is not typed at all. The keystrokes carry kOwnInputMarker.
    virtual void typeKeyString(std::string_view keys) = 0;
};

} // namespace omnitap::platform
