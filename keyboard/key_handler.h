#pragma once
// Key event handling on the UI thread: learning a key for the Key Finder, matching the
// learned keys in table order, and running their actions. The hook has already decided
// whether the event is swallowed; this is the rest of the work, in the order of events.

#include "keyboard/action_targets.h"
#include "keyboard/key_event.h"
#include "keyboard/keyboard_state.h"
#include "platform/shell.h"

#include <cstdint>
#include <functional>
#include <string>

namespace omnitap {

// The windows the key handling talks to. Each link may be left empty while its window
// does not exist.
struct KeyHandlerLinks {
    // Key Finder
    std::function<bool()> keyFinderLoaded;
    std::function<void(std::int32_t vkCode, std::int32_t scanCode)> keyWasPressed;
    std::function<void(const std::string& report)> showKeyEventReport;
    // Edit Configuration
    std::function<void(int index)> findKey;
    // The control window
    std::function<void(const std::string& caption)> setControlCaption;
    std::function<void(bool enabled)> setRepeatTimer; // Timer1
    std::function<void()> monitorsOff;
    std::function<platform::WindowId()> controlWindow;
};

// The five-line report of an event that the Key Finder shows.
std::string keyEventReport(const KeyEvent& event);

class KeyboardHandler {
  public:
    KeyboardHandler(KeyboardState& state, PlayerControl* player, VolumeControl* volume,
                    platform::Shell& shell, KeyHandlerLinks links);

    // Returns true when the event belongs to the program (the hook swallows exactly those).
    bool handleKey(const KeyEvent& event);
    void keyReleased(int index);
    void doAction(int index);
    // One more step of the held volume key (the control window's timer).
    void repeatVolumeStep();

    void setPlayer(PlayerControl* player) { player_ = player; }
    void setVolume(VolumeControl* volume) { volume_ = volume; }

  private:
    bool matches(const KeyDef& key, const KeyEvent& event) const;
    void launch(const std::string& target);

    KeyboardState& state_;
    PlayerControl* player_;
    VolumeControl* volume_;
    platform::Shell& shell_;
    KeyHandlerLinks links_;
};

} // namespace omnitap
