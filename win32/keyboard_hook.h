#pragma once
// The system-wide low-level keyboard hook, on a thread of its own at raised priority. Its
// callback only asks the hook channel and returns: Windows removes a low-level hook whose
// callback is slow, and the UI thread may be busy (a launch, a hung player, a modal loop).
// The thread also sends on keys held back for too long and wakes the UI thread again when a
// wake-up was refused. The window it reports to receives the keyboard's raw input while the
// hook is quiet, which tells when the system dropped the hook.

#include "hook/hook_channel.h"
#include "hook/hook_watch.h"
#include "ports/keyboard_hook.h"

#include <atomic>
#include <cstdint>
#include <thread>

namespace omnitap::win32 {

// Posts the key-events message to the window named when the hook was installed, and sends
// held keys on with SendInput.
class HookThreadOutput final : public HookOutput {
  public:
    void setWindow(ports::WindowId window) { window_.store(window); }
    bool wake() override;
    void sendOn(std::span<const ports::KeyStroke> keys) override;
    void sendOwn(std::span<const ports::KeyStroke> keys) override;

  private:
    std::atomic<ports::WindowId> window_{0};
};

class KeyboardHook final : public ports::KeyboardHook {
  public:
    KeyboardHook(HookChannel& channel, HookThreadOutput& out) : channel_(channel), out_(out) {}
    ~KeyboardHook() override { unhookKeyboard(); }
    KeyboardHook(const KeyboardHook&) = delete;
    KeyboardHook& operator=(const KeyboardHook&) = delete;

    ports::Result hookKeyboard(ports::WindowId notify) override;
    void unhookKeyboard() override;
    void checkHook() override;
    void loseHook() override;

    // The notify window, on the UI thread: raw input is to be listened to; a raw key event.
    void listenToRawInput();
    void rawKeyEvent(std::uint32_t time);

  private:
    HookChannel& channel_;
    HookThreadOutput& out_;
    HookWatch watch_;
    std::thread thread_;
    std::uint32_t threadId_ = 0;
    ports::WindowId notify_ = 0;
    bool hooked_ = false;
};

} // namespace omnitap::win32
