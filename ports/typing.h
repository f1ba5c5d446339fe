#pragma once
// Typing text into whatever window has the keyboard focus, as if from the keyboard.

#include <string_view>

namespace omnitap::ports {

class Typing {
  public:
    virtual ~Typing() = default;
    // Types `text` (UTF-8) into the focused window, character for character. Returns without
    // waiting for the keystrokes to be processed. The keystrokes carry kOwnInputMarker.
    virtual void typeText(std::string_view text) = 0;
};

} // namespace omnitap::ports
