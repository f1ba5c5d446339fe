#pragma once
// Key event handling on the UI thread: learning a key for the Key Finder, running the
// actions of the entries the hook's decision names, in table order, and sending on the keys
// the hook held back while an action typed. The hook has already decided whether each event
// is swallowed and which entries act; this is the rest of the work, in the order of events.

#include "actions/launch_failure.h"
#include "actions/program_state.h"
#include "actions/volume_repeat.h"
#include "catalogue/action_catalogue.h"
#include "hook/hook_channel.h"
#include "hook/key_event.h"
#include "player/player_control.h"
#include "ports/file_system.h"
#include "ports/shell.h"
#include "ports/typing.h"
#include "volume/volume_control.h"

#include <cstdint>
#include <string>

namespace omnitap {

// What the key handling asks of the configuration windows.
class ConfigurationView {
  public:
    virtual ~ConfigurationView() = default;
    // A window takes the key the hook catches: the Key Finder, or Edit Configuration's "Press
    // a key..." button.
    virtual bool keyFinderLoaded() const = 0;
    // The Key Finder's key: virtual-key code and scan code, the modifiers held with it, and
    // the system's name for it when it has modifiers.
    virtual void keyWasPressed(std::int32_t vkCode, std::int32_t scanCode, Modifiers mods,
                               const std::string& keyName) = 0;
    // The raw event, five lines, into the Key Finder's out-of-view report box.
    virtual void showKeyEventReport(const std::string& report) = 0;
    // Selects key `index` in the Edit Configuration window (a learned key was pressed).
    virtual void findKey(int index) = 0;
};

// What the key handling asks of the control window; it also owns what is launched.
class ControlSurface : public ports::OwnerWindow {
  public:
    virtual void setCaption(const std::string& caption) = 0;
    virtual void setRepeatTimer(bool enabled) = 0; // Timer1, the volume repeat
    // WM_SYSCOMMAND / SC_MONITORPOWER through the window's default handling.
    virtual void monitorsOff() = 0;
    // A notice from the tray icon, which leaves the focus where it is.
    virtual void showNotice(const Notice& notice) = 0;
};

// The five-line report of an event that the Key Finder shows.
std::string keyEventReport(const KeyEvent& event);

class KeyboardHandler {
  public:
    KeyboardHandler(ProgramState& state, HookChannel& channel, PlayerControl& player,
                    VolumeControl& volume, ports::Shell& shell, ports::FileSystem& files,
                    ports::Typing& typing, ConfigurationView& windows, ControlSurface& control);

    // The hook queued events: handles each and sends on the held keys, in order (on the
    // control window's private message for them, and on any other private message or tick
    // of that window, so that no event waits for a refused wake-up).
    void keyEventsWaiting();

    // One more step of the held volume key (the control window's timer), unless the key
    // stopped repeating: then the repeat ends.
    void repeatVolumeStep();
    // The volume repeat ends (the key's release, or a lock, suspend or a fresh hook, after
    // which its release may never come).
    void endVolumeRepeat();
    // Events that could not be queued for the key handling (shown in the test mode).
    std::uint64_t droppedEvents() const { return channel_.droppedEvents(); }

  private:
    void handleKey(const KeyEvent& event);
    void keyReleased(int index);
    void doAction(int index);
    void runAction(const ActionRow& row, const KeyDef& key);
    void launch(const std::string& target);
    // The key string in one batch, between lifting the modifiers held and pressing them again.
    void sendKeys(const std::string& keyString);

    ProgramState& state_;
    HookChannel& channel_;
    PlayerControl& player_;
    VolumeControl& volume_;
    ports::Shell& shell_;
    ports::FileSystem& files_;
    ports::Typing& typing_;
    ConfigurationView& windows_;
    ControlSurface& control_;
    VolumeRepeat repeat_;
    std::uint32_t pressedVk_ = 0, pressedScan_ = 0; // the key whose actions run now
};

} // namespace omnitap
