#pragma once
// The system-wide low-level keyboard hook. It runs on a thread of its own and hands the events
// that belong to the program to the hook channel; the UI thread hears of them through a
// private message to the window named at installation.

#include "ports/private_messages.h"
#include "ports/result.h"
#include "ports/window_id.h"

namespace omnitap::ports {

class KeyboardHook {
  public:
    virtual ~KeyboardHook() = default;
    // Installs the hook; queued events are announced to `notify` with kKeyEventsMessage, and
    // `notify` hears of the session's changes (unlock, reconnection). A second call while it
    // is installed changes nothing. When the system refuses, nothing is installed (keys then
    // simply reach their applications) and the result gives the system's reason.
    virtual Result hookKeyboard(WindowId notify) = 0;
    // Removes it, if it was installed.
    virtual void unhookKeyboard() = 0;
    // After sleep or unlock: makes sure the hook is in place. It must see a marked no-op key
    // within a moment; only when it does not (the system dropped it) is a fresh hook installed,
    // then the old one removed. A hook in place keeps its place among other keyboard tools.
    virtual void checkHook() = 0;
    // Removes the hook and tells nobody, as the system does with a slow hook (test mode).
    virtual void loseHook() = 0;
};

} // namespace omnitap::ports
