#include "win32/keyboard_hook.h"

#include "ports/input_marker.h"
#include "win32/system_library.h"
#include "win32/typing.h"
#include "win32/wide.h"

#include <windows.h>

#include <commctrl.h>
#include <wtsapi32.h>

#include <algorithm>
#include <future>

namespace omnitap::win32 {
namespace {

constexpr UINT_PTR kRawInputSubclass = 1;
constexpr DWORD kRetryMs = 10;

// What the hook thread works with. The callback has no context argument: the one hook thread
// of the process is reached here, and only on that thread, while the thread runs.
struct HookThread {
    HookChannel& channel;
    HookWatch& watch;
    HWND notify;
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
    if (t->watch.tookProbe(record->dwExtraInfo)) {
        t->inCallback = false;
        return 1;
    }
    KeyEvent event;
    event.vkCode = record->vkCode;
    event.scanCode = record->scanCode;
    event.flags = record->flags;
    event.time = record->time;
    event.extraInfo = record->dwExtraInfo;
    LRESULT result = t->channel.onKeyEvent(event, Win32Typing::keyIsDown)
                         ? 1
                         : CallNextHookEx(nullptr, nCode, wParam, lParam);
    if (t->channel.takeLoopRequest()) PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
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

// A fresh hook first, then the old one goes: never a moment without one. The hook may have
// missed modifiers going up or down meanwhile.
void renew(HookThread& t) {
    if (HHOOK fresh = installHook()) {
        UnhookWindowsHookEx(t.hook);
        t.hook = fresh;
    }
    t.channel.refreshModifiers(Win32Typing::keyIsDown);
}

// The shorter of two waits, nothing standing for none.
std::optional<std::uint32_t> sooner(std::optional<std::uint32_t> a,
                                    std::optional<std::uint32_t> b) {
    if (!a || !b) return a ? a : b;
    return std::min(*a, *b);
}

// The hook thread's loop. GetMessage calls the hook for each key event and returns only for
// a request, a timer or a nudge: a key costs this thread nothing beyond its callback. The
// timer runs only while keys are held back, a wake-up waits to be posted again, or the hook
// has not been quiet for a second since raw input was last turned off.
void runLoop(HookThread& t) {
    UINT_PTR timer = 0;
    for (;;) {
        const DWORD now = GetTickCount();
        std::optional<std::uint32_t> wait = t.channel.idle(now);
        HookWatch::Quiet quiet = t.watch.quiet(now);
        if (quiet.listen && !PostMessageW(t.notify, ports::kListenToRawInputMessage, 0, 0)) {
            t.watch.notAsked();
            quiet.wait = kRetryMs;
        }
        HookWatch::Probe probe = t.watch.probe(now);
        if (probe.renew) renew(t);
        wait = sooner(sooner(wait, quiet.wait), probe.wait);
        if (wait) {
            timer = SetTimer(nullptr, timer, std::max<UINT>(*wait, USER_TIMER_MINIMUM), nullptr);
        } else if (timer) {
            KillTimer(nullptr, timer);
            timer = 0;
        }
        MSG msg;
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0) return;
        if (msg.message == ports::kRenewHookRequest) {
            renew(t);
        } else if (msg.message == ports::kCheckHookRequest) {
            t.watch.probeSent(GetTickCount());
            // After resume or unlock: the modifiers may have been let go on another desktop.
            t.channel.refreshModifiers(Win32Typing::keyIsDown);
            // The no-op key that masks a Win or Alt release: no program acts on it, should it
            // pass a hook the system dropped.
            Win32Typing::sendMarkedKeys(kMaskStrokes, ports::kHookProbeMarker);
        } else if (msg.message == ports::kLoseHookRequest) {
            // The handle stays, stale, as after the system's removal.
            UnhookWindowsHookEx(t.hook);
        }
    }
}

void registerRawInput(HWND window, DWORD flags) {
    RAWINPUTDEVICE keyboard{0x01, 0x06, flags, window}; // generic desktop, keyboard
    RegisterRawInputDevices(&keyboard, 1, sizeof keyboard);
}

// The raw input arrives at the window the hook reports to, on the UI thread: a raw input
// window on the hook thread makes Wine lose hook calls.
LRESULT CALLBACK rawInputProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                              DWORD_PTR hook) {
    if (message == ports::kListenToRawInputMessage) {
        reinterpret_cast<KeyboardHook*>(hook)->listenToRawInput();
        return 0;
    }
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

} // namespace

bool HookThreadOutput::wake() {
    return PostMessageW(reinterpret_cast<HWND>(window_.load()), ports::kKeyEventsMessage, 0, 0) !=
           FALSE;
}

void HookThreadOutput::sendOn(std::span<const ports::KeyStroke> keys) {
    Win32Typing::sendMarkedKeys(keys, ports::kHeldKeyMarker);
}

void HookThreadOutput::sendOwn(std::span<const ports::KeyStroke> keys) {
    Win32Typing::sendMarkedKeys(keys, ports::kOwnInputMarker);
}

ports::Result KeyboardHook::hookKeyboard(ports::WindowId notify) {
    if (hooked_) return {};
    out_.setWindow(notify);
    auto window = reinterpret_cast<HWND>(notify);
    // Before the hook thread may ask for raw input.
    SetWindowSubclass(window, rawInputProc, kRawInputSubclass, reinterpret_cast<DWORD_PTR>(this));
    std::promise<DWORD> installed; // 0, or why the system refused
    auto result = installed.get_future();
    thread_ = std::thread([this, window, &installed] {
        // The callback does little; at raised priority a busy machine cannot starve it into
        // the system's time-out.
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
        threadId_ = GetCurrentThreadId();
        // Make sure the thread has a message queue before anyone posts to it.
        MSG msg;
        PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
        HookThread thread{channel_, watch_, window};
        watch_.hookSaw(GetTickCount()); // quiet from now on
        thread.hook = installHook();
        if (!thread.hook) {
            const DWORD error = GetLastError();
            installed.set_value(error ? error : ERROR_HOOK_NOT_INSTALLED);
            return;
        }
        thread.channel.refreshModifiers(Win32Typing::keyIsDown);
        hookThread = &thread;
        installed.set_value(0);
        runLoop(thread);
        UnhookWindowsHookEx(thread.hook);
        hookThread = nullptr; // before `thread` goes
    });
    if (const DWORD error = result.get()) {
        thread_.join();
        RemoveWindowSubclass(window, rawInputProc, kRawInputSubclass);
        return {false, errorText(error), error};
    }
    hooked_ = true;
    notify_ = notify;
    hearSessionChanges(window, true);
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

void KeyboardHook::checkHook() {
    if (hooked_) PostThreadMessageW(threadId_, ports::kCheckHookRequest, 0, 0);
}

void KeyboardHook::loseHook() {
    if (hooked_) PostThreadMessageW(threadId_, ports::kLoseHookRequest, 0, 0);
}

void KeyboardHook::listenToRawInput() {
    registerRawInput(reinterpret_cast<HWND>(notify_), RIDEV_INPUTSINK);
    watch_.listening();
}

void KeyboardHook::rawKeyEvent(std::uint32_t time) {
    switch (watch_.rawKey(time)) {
    case HookWatch::Verdict::HookAlive:
        // The hook sees keys: no raw input until it has been quiet again, which its thread
        // measures from now.
        registerRawInput(nullptr, RIDEV_REMOVE);
        PostThreadMessageW(threadId_, WM_NULL, 0, 0);
        break;
    case HookWatch::Verdict::HookGone:
        if (hooked_) PostThreadMessageW(threadId_, ports::kRenewHookRequest, 0, 0);
        break;
    case HookWatch::Verdict::Wait:
        break;
    }
}

} // namespace omnitap::win32
