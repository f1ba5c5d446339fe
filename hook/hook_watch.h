#pragma once
// Noticing that the system dropped the hook. Windows removes a low-level hook whose callback
// was too slow and tells nobody; after sleep and on unlock a hook may be gone as well. The
// program also receives the keyboard's raw input, which keeps arriving when the hook is gone.
// Each key reaches the hook before its raw input is made (the keys it swallows raise none),
// but the two may be handled in either order (Wine makes the raw input first, and the raw
// input is handled on the UI thread, which may be late). So a raw key event when the hook has
// seen nothing for about a second is suspect; when the next raw key event comes and the hook
// has still seen nothing since the suspect one, the hook is gone: a fresh one is installed at
// once, and the key after the one that went unseen is the program's again. Nothing here runs
// while no key is pressed: no timer, no polling.

#include <atomic>
#include <cstdint>

namespace omnitap {

class HookWatch {
  public:
    static constexpr std::int32_t kQuietMs = 1000;

    // Hook thread: the hook saw an event at `now` (milliseconds, the system's tick count).
    void hookSaw(std::uint32_t now) { lastSeen_.store(now, std::memory_order_relaxed); }
    // The thread that gets raw input: a raw key event made at `time`. True when a fresh hook
    // must be installed.
    bool rawKey(std::uint32_t time) {
        const std::uint32_t seen = lastSeen_.load(std::memory_order_relaxed);
        // Tick counts wrap: differences are read as signed.
        if (static_cast<std::int32_t>(time - seen) <= kQuietMs) {
            suspect_ = false;
        } else if (!suspect_ || static_cast<std::int32_t>(seen - suspectTime_) >= 0) {
            suspect_ = true; // its hook call may still be on its way
            suspectTime_ = time;
        } else {
            suspect_ = false;
            hookSaw(time); // the fresh hook is given its second, too
            return true;
        }
        return false;
    }

  private:
    std::atomic<std::uint32_t> lastSeen_{0};
    bool suspect_ = false; // a raw key event came while the hook was quiet; raw input thread
    std::uint32_t suspectTime_ = 0;
};

// The system's notifications after which the hook may be gone: resume from sleep, the
// session unlocked or connected again. A fresh hook is then installed before the old one is
// removed.
inline bool needsFreshHook(std::uint32_t message, std::uintptr_t wParam) {
    constexpr std::uint32_t kPowerBroadcast = 0x0218; // WM_POWERBROADCAST
    constexpr std::uint32_t kSessionChange = 0x02B1;  // WM_WTSSESSION_CHANGE
    switch (message) {
    case kPowerBroadcast: // PBT_APMRESUMESUSPEND, PBT_APMRESUMEAUTOMATIC
        return wParam == 0x7 || wParam == 0x12;
    case kSessionChange: // WTS_CONSOLE_CONNECT, WTS_REMOTE_CONNECT, WTS_SESSION_UNLOCK
        return wParam == 0x1 || wParam == 0x3 || wParam == 0x8;
    default:
        return false;
    }
}

} // namespace omnitap
