#pragma once
// The system-wide low-level keyboard hook, on a thread of its own. Its callback only asks
// the hook channel and returns: Windows removes a low-level hook whose callback is slow, and
// the UI thread may be busy (a launch, a hung player, a modal loop).

#include "keyboard/hook_channel.h"

#include <cstdint>
#include <thread>

namespace omnitap::win32 {

class KeyboardHook {
  public:
    explicit KeyboardHook(HookChannel& channel) : channel_(channel) {}
    ~KeyboardHook() { unhookKeyboard(); }
    KeyboardHook(const KeyboardHook&) = delete;
    KeyboardHook& operator=(const KeyboardHook&) = delete;

    // Installs the hook; a second call while it is installed changes nothing. A failure is
    // not reported: keys then simply reach their applications.
    void hookKeyboard();
    bool isHooked() const { return hooked_; }
    void unhookKeyboard();

  private:
    HookChannel& channel_;
    std::thread thread_;
    std::uint32_t threadId_ = 0;
    bool hooked_ = false;
};

} // namespace omnitap::win32
