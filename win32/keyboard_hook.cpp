#include "win32/keyboard_hook.h"

#include <windows.h>

#include <atomic>
#include <future>

namespace omnitap::win32 {
namespace {

// The callback has no context argument: the one channel of the process is reached here.
std::atomic<HookChannel*> activeChannel{nullptr};
std::atomic<HHOOK> hookHandle{nullptr};

bool physicallyDown(std::uint8_t vk) {
    return (GetAsyncKeyState(vk) & 0x8000) != 0;
}

LRESULT CALLBACK keyboardProc(int nCode, WPARAM wParam, LPARAM lParam) {
    HookChannel* channel = activeChannel.load();
    if (nCode == HC_ACTION && channel) {
        const auto* record = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        KeyEvent event;
        event.vkCode = record->vkCode;
        event.scanCode = record->scanCode;
        event.flags = record->flags;
        event.time = record->time;
        event.extraInfo = record->dwExtraInfo;
        if (channel->onKeyEvent(event, physicallyDown)) return 1;
    }
    return CallNextHookEx(hookHandle.load(), nCode, wParam, lParam);
}

} // namespace

void PostedWake::wake() {
    PostMessageW(reinterpret_cast<HWND>(window_.load()), ports::kKeyEventsMessage, 0, 0);
}

void KeyboardHook::hookKeyboard(ports::WindowId notify) {
    if (hooked_) return;
    wake_.setWindow(notify);
    activeChannel.store(&channel_);
    std::promise<bool> installed;
    auto result = installed.get_future();
    thread_ = std::thread([this, &installed] {
        threadId_ = GetCurrentThreadId();
        // Make sure the thread has a message queue before anyone posts WM_QUIT to it.
        MSG msg;
        PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
        HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, keyboardProc, GetModuleHandleW(nullptr), 0);
        hookHandle.store(hook);
        installed.set_value(hook != nullptr);
        if (!hook) return;
        // The system calls the hook from this loop.
        while (GetMessageW(&msg, nullptr, 0, 0) > 0)
            DispatchMessageW(&msg);
        UnhookWindowsHookEx(hook);
        hookHandle.store(nullptr);
    });
    hooked_ = result.get();
    if (!hooked_) {
        thread_.join();
        activeChannel.store(nullptr);
    }
}

void KeyboardHook::unhookKeyboard() {
    if (!hooked_) return;
    PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    thread_.join();
    activeChannel.store(nullptr);
    hooked_ = false;
}

} // namespace omnitap::win32
