#include "win32/keyboard_hook.h"

#include "hook/hook_watch.h"

#include <windows.h>

#include <wtsapi32.h>

#include <array>
#include <future>

namespace omnitap::win32 {
namespace {

// Requests to the hook thread's window.
constexpr UINT kRenewHook = WM_APP + 1;
constexpr UINT kLoseHook = WM_APP + 2;
const wchar_t kThreadWindowClass[] = L"OmnitapHookThread";

// What the hook thread works with. The callbacks have no context argument: the one hook
// thread of the process is reached here, and only on that thread.
struct HookThread {
    HookChannel& channel;
    HHOOK hook = nullptr;
    HookWatch watch;
    bool inCallback = false;
};
HookThread* hookThread = nullptr;

bool physicallyDown(std::uint8_t vk) {
    return (GetAsyncKeyState(vk) & 0x8000) != 0;
}

LRESULT CALLBACK keyboardProc(int nCode, WPARAM wParam, LPARAM lParam) {
    HookThread* t = hookThread;
    // While a fresh hook and the old one are both in place, the fresh one's CallNextHookEx
    // brings the event here a second time: only the first call handles it.
    if (nCode != HC_ACTION || !t || t->inCallback)
        return CallNextHookEx(nullptr, nCode, wParam, lParam);
    t->inCallback = true;
    const auto* record = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    t->watch.hookSaw(GetTickCount());
    KeyEvent event;
    event.vkCode = record->vkCode;
    event.scanCode = record->scanCode;
    event.flags = record->flags;
    event.time = record->time;
    event.extraInfo = record->dwExtraInfo;
    LRESULT result = t->channel.onKeyEvent(event, physicallyDown)
                         ? 1
                         : CallNextHookEx(nullptr, nCode, wParam, lParam);
    t->inCallback = false;
    return result;
}

HHOOK installHook() {
    return SetWindowsHookExW(WH_KEYBOARD_LL, keyboardProc, GetModuleHandleW(nullptr), 0);
}

// A fresh hook first, then the old one goes: there is never a moment without one.
void renew(HookThread& t) {
    if (HHOOK fresh = installHook()) {
        UnhookWindowsHookEx(t.hook);
        t.hook = fresh;
    }
}

// Held keys that the UI thread could not send on in time, marked as our own input.
void sendHeldKeys(std::span<const ports::KeyStroke> keys) {
    std::array<INPUT, HeldKeys::kCapacity> inputs{};
    for (std::size_t i = 0; i < keys.size(); ++i) {
        inputs[i].type = INPUT_KEYBOARD;
        inputs[i].ki.wVk = keys[i].vk;
        inputs[i].ki.wScan = keys[i].scanCode;
        inputs[i].ki.dwFlags =
            (keys[i].up ? KEYEVENTF_KEYUP : 0) | (keys[i].extended ? KEYEVENTF_EXTENDEDKEY : 0);
        inputs[i].ki.dwExtraInfo = ports::kOwnInputMarker;
    }
    SendInput(static_cast<UINT>(keys.size()), inputs.data(), sizeof(INPUT));
}

LRESULT CALLBACK threadWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    HookThread* t = hookThread;
    if (t && message == WM_INPUT) {
        RAWINPUTHEADER header{};
        UINT size = sizeof header;
        if (GetRawInputData(reinterpret_cast<HRAWINPUT>(lParam), RID_HEADER, &header, &size,
                            sizeof header) == sizeof header &&
            header.dwType == RIM_TYPEKEYBOARD && t->watch.rawKey(GetTickCount()))
            renew(*t);
    } else if (t && message == kRenewHook) {
        renew(*t);
        return 0;
    } else if (t && message == kLoseHook) {
        UnhookWindowsHookEx(t->hook); // the handle stays, stale, as after the system's removal
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND createThreadWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = threadWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kThreadWindowClass;
    RegisterClassW(&wc);
    return CreateWindowExW(0, kThreadWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           wc.hInstance, nullptr);
}

// The hook thread's loop. It sleeps in the wait until a key event, a raw input message or a
// request arrives; only while keys are held back does it wake by itself, to send them on
// when their time is up.
void runLoop(HookChannel& channel) {
    for (;;) {
        std::optional<std::uint32_t> wait = channel.sendOverdueKeys(GetTickCount(), sendHeldKeys);
        if (!wait || *wait > 0)
            MsgWaitForMultipleObjectsEx(0, nullptr, wait ? *wait : INFINITE, QS_ALLINPUT,
                                        MWMO_INPUTAVAILABLE);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return;
            DispatchMessageW(&msg);
        }
    }
}

} // namespace

bool PostedWake::wake() {
    return PostMessageW(reinterpret_cast<HWND>(window_.load()), ports::kKeyEventsMessage, 0, 0) !=
           FALSE;
}

void KeyboardHook::hookKeyboard(ports::WindowId notify) {
    if (hooked_) return;
    wake_.setWindow(notify);
    std::promise<bool> installed;
    auto result = installed.get_future();
    thread_ = std::thread([this, &installed] {
        // The callback does little; at raised priority a busy machine cannot starve it into
        // the system's time-out.
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
        threadId_ = GetCurrentThreadId();
        HookThread thread{channel_};
        HWND window = createThreadWindow();
        threadWindow_ = reinterpret_cast<ports::WindowId>(window);
        RAWINPUTDEVICE keyboard{0x01, 0x06, RIDEV_INPUTSINK, window}; // generic desktop keyboard
        if (window) RegisterRawInputDevices(&keyboard, 1, sizeof keyboard);
        hookThread = &thread;
        thread.hook = installHook();
        installed.set_value(thread.hook != nullptr);
        if (thread.hook) runLoop(channel_);
        UnhookWindowsHookEx(thread.hook);
        hookThread = nullptr;
        if (window) DestroyWindow(window);
    });
    hooked_ = result.get();
    if (!hooked_) {
        thread_.join();
        return;
    }
    notify_ = notify;
    WTSRegisterSessionNotification(reinterpret_cast<HWND>(notify), NOTIFY_FOR_THIS_SESSION);
}

void KeyboardHook::unhookKeyboard() {
    if (!hooked_) return;
    WTSUnRegisterSessionNotification(reinterpret_cast<HWND>(notify_));
    PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    thread_.join();
    hooked_ = false;
}

void KeyboardHook::renewHook() {
    if (hooked_) PostMessageW(reinterpret_cast<HWND>(threadWindow_), kRenewHook, 0, 0);
}

void KeyboardHook::loseHook() {
    if (hooked_) PostMessageW(reinterpret_cast<HWND>(threadWindow_), kLoseHook, 0, 0);
}

} // namespace omnitap::win32
