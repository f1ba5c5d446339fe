#pragma once
// The system-wide low-level keyboard hook. It runs on a thread of its own and hands the events
// that belong to the program to the hook channel; the UI thread hears of them through a
// private message to the window named at installation.

#include "ports/shell.h" // WindowId

#include <cstdint>

namespace omnitap::ports {

// The private message by which the hook thread wakes the UI thread (WM_APP + 2).
inline constexpr std::uint32_t kKeyEventsMessage = 0x8000 + 2;

class KeyboardHook {
  public:
    virtual ~KeyboardHook() = default;
    // Installs the hook; queued events are announced to `notify` with kKeyEventsMessage. A
    // second call while it is installed changes nothing. A failure is not reported: keys then
    // simply reach their applications.
    virtual void hookKeyboard(WindowId notify) = 0;
    // Removes it, if it was installed.
    virtual void unhookKeyboard() = 0;
};

} // namespace omnitap::ports
