#pragma once
// The system-wide low-level keyboard hook, on a thread of its own at raised priority. Its
// callback only asks the hook channel and returns: Windows removes a low-level hook whose
// callback is slow, and the UI thread may be busy (a launch, a hung player, a modal loop).
// The thread also watches the keyboard's raw input to notice a hook the system dropped, and
// sends on keys held back for too long.

#include "hook/hook_channel.h"
#include "ports/keyboard_hook.h"

#include <atomic>
#include <cstdint>
#include <thread>

namespace omnitap::win32 {

// Posts the key-events message to the window named when the hook was installed.
class PostedWake final : public Wake {
  public:
    void setWindow(ports::WindowId window) { window_.store(window); }
    bool wake() override;

  private:
    std::atomic<ports::WindowId> window_{0};
};

class KeyboardHook final : public ports::KeyboardHook {
  public:
    KeyboardHook(HookChannel& channel, PostedWake& wake) : channel_(channel), wake_(wake) {}
    ~KeyboardHook() override { unhookKeyboard(); }
    KeyboardHook(const KeyboardHook&) = delete;
    KeyboardHook& operator=(const KeyboardHook&) = delete;

    void hookKeyboard(ports::WindowId notify) override;
    void unhookKeyboard() override;
    void renewHook() override;
    void loseHook() override;
    bool isHooked() const { return hooked_; }

  private:
    HookChannel& channel_;
    PostedWake& wake_;
    std::thread thread_;
    std::uint32_t threadId_ = 0;
    ports::WindowId threadWindow_ = 0; // the hook thread's window: raw input, our requests
    ports::WindowId notify_ = 0;
    bool hooked_ = false;
};

} // namespace omnitap::win32
