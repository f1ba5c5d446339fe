#include "win32/keyboard_hook.h"

#include "win32/system_library.h"
#include "win32/typing.h"
#include "win32/wide.h"

#include <windows.h>

#include <commctrl.h>
#include <wtsapi32.h>

#include <future>

namespace omnitap::win32 {
namespace {

// Requests to the hook thread, posted to its message queue.
constexpr UINT kRenewHook = WM_APP + 1;
constexpr UINT kLoseHook = WM_APP + 2;
constexpr UINT_PTR kRawInputSubclass = 1;

// What the hook thread works with. The callback has no context argument: the one hook thread
// of the process is reached here, and only on that thread.
struct HookThread {
    HookChannel& channel;
    HookWatch& watch;
    HHOOK hook = nullptr;
    bool inCallback = false;
};
HookThread* hookThread = nullptr;

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
    LRESULT result = t->channel.onKeyEvent(event, Win32Typing::keyIsDown)
                         ? 1
                         : CallNextHookEx(nullptr, nCode, wParam, lParam);
    t->inCallback = false;
    return result;
}

// Unlock and reconnect are told through wtsapi32, which is not one of the known DLLs.
void hearSessionChanges(HWND window, bool hear) {
    static const HMODULE wtsapi = systemLibrary(L"wtsapi32.dll");
    if (hear) {
        using Register = BOOL(WINAPI*)(HWND, DWORD);
        if (auto f = functionIn<Register>(wtsapi, "WTSRegisterSessionNotification"))
            f(window, NOTIFY_FOR_THIS_SESSION);
    } else if (auto f =
                   functionIn<BOOL(WINAPI*)(HWND)>(wtsapi, "WTSUnRegisterSessionNotification")) {
        f(window);
    }
}

HHOOK installHook() {
    return SetWindowsHookExW(WH_KEYBOARD_LL, keyboardProc, GetModuleHandleW(nullptr), 0);
}

// The hook thread's loop. It sleeps in the wait until a key event or a request arrives; only
// while keys are held back does it wake by itself, to send them on when their time is up.
void runLoop(HookThread& t) {
    for (;;) {
        std::optional<std::uint32_t> wait =
            t.channel.sendOverdueKeys(GetTickCount(), Win32Typing::sendMarkedKeys);
        if (!wait || *wait > 0)
            MsgWaitForMultipleObjectsEx(0, nullptr, wait ? *wait : INFINITE, QS_ALLINPUT,
                                        MWMO_INPUTAVAILABLE);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return;
            if (msg.message == kRenewHook) {
                // A fresh hook first, then the old one goes: never a moment without one.
                if (HHOOK fresh = installHook()) {
                    UnhookWindowsHookEx(t.hook);
                    t.hook = fresh;
                }
            } else if (msg.message == kLoseHook) {
                // The handle stays, stale, as after the system's removal.
                UnhookWindowsHookEx(t.hook);
            } else {
                DispatchMessageW(&msg);
            }
        }
    }
}

// The raw input arrives at the window the hook reports to, on the UI thread: a raw input
// window on the hook thread makes Wine lose hook calls.
LRESULT CALLBACK rawInputProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                              DWORD_PTR hook) {
    if (message == WM_INPUT) {
        RAWINPUTHEADER header{};
        UINT size = sizeof header;
        if (GetRawInputData(reinterpret_cast<HRAWINPUT>(lParam), RID_HEADER, &header, &size,
                            sizeof header) == sizeof header &&
            header.dwType == RIM_TYPEKEYBOARD)
            reinterpret_cast<KeyboardHook*>(hook)->rawKeyEvent(
                static_cast<std::uint32_t>(GetMessageTime()));
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

void registerRawInput(HWND window, DWORD flags) {
    RAWINPUTDEVICE keyboard{0x01, 0x06, flags, window}; // generic desktop, keyboard
    RegisterRawInputDevices(&keyboard, 1, sizeof keyboard);
}

} // namespace

bool PostedWake::wake() {
    return PostMessageW(reinterpret_cast<HWND>(window_.load()), ports::kKeyEventsMessage, 0, 0) !=
           FALSE;
}

ports::Result KeyboardHook::hookKeyboard(ports::WindowId notify) {
    if (hooked_) return {};
    wake_.setWindow(notify);
    std::promise<DWORD> installed; // 0, or why the system refused
    auto result = installed.get_future();
    thread_ = std::thread([this, &installed] {
        // The callback does little; at raised priority a busy machine cannot starve it into
        // the system's time-out.
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
        threadId_ = GetCurrentThreadId();
        // Make sure the thread has a message queue before anyone posts to it.
        MSG msg;
        PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
        HookThread thread{channel_, watch_};
        hookThread = &thread;
        thread.hook = installHook();
        if (!thread.hook) {
            const DWORD error = GetLastError();
            hookThread = nullptr; // `thread` is gone once this returns
            installed.set_value(error ? error : ERROR_HOOK_NOT_INSTALLED);
            return;
        }
        installed.set_value(0);
        runLoop(thread);
        UnhookWindowsHookEx(thread.hook);
        hookThread = nullptr;
    });
    if (const DWORD error = result.get()) {
        thread_.join();
        return {false, errorText(error), error};
    }
    hooked_ = true;
    notify_ = notify;
    auto window = reinterpret_cast<HWND>(notify);
    hearSessionChanges(window, true);
    SetWindowSubclass(window, rawInputProc, kRawInputSubclass, reinterpret_cast<DWORD_PTR>(this));
    registerRawInput(window, RIDEV_INPUTSINK);
    return {};
}

void KeyboardHook::unhookKeyboard() {
    if (!hooked_) return;
    auto window = reinterpret_cast<HWND>(notify_);
    registerRawInput(nullptr, RIDEV_REMOVE);
    RemoveWindowSubclass(window, rawInputProc, kRawInputSubclass);
    hearSessionChanges(window, false);
    PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    thread_.join();
    hooked_ = false;
}

void KeyboardHook::renewHook() {
    if (hooked_) PostThreadMessageW(threadId_, kRenewHook, 0, 0);
}

void KeyboardHook::loseHook() {
    if (hooked_) PostThreadMessageW(threadId_, kLoseHook, 0, 0);
}

void KeyboardHook::rawKeyEvent(std::uint32_t time) {
    if (watch_.rawKey(time)) renewHook();
}

} // namespace omnitap::win32
