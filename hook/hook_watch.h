#pragma once
// Noticing that the system dropped the hook. Windows removes a low-level hook whose callback
// was too slow and tells nobody; after sleep and on unlock a hook may be gone as well. The
// hook thread also receives the keyboard's raw input, which keeps arriving when the hook is
// gone; the hook sees every key before its raw input (the keys it swallows raise none). So a
// raw key event while the hook has seen no event for about a second means that the hook is
// gone: a fresh one is installed at once, and the next key is the program's again. Nothing
// here runs while no key is pressed: no timer, no polling.

#include <cstdint>

namespace omnitap {

// Hook thread only.
class HookWatch {
  public:
    static constexpr std::uint32_t kQuietMs = 1000;

    // The hook saw an event at `now` (milliseconds, the system's tick count).
    void hookSaw(std::uint32_t now) { lastSeen_ = now; }
    // A raw key event arrived at `now`: true when a fresh hook must be installed.
    bool rawKey(std::uint32_t now) {
        if (now - lastSeen_ <= kQuietMs) return false;
        lastSeen_ = now; // the fresh hook is given its second, too
        return true;
    }

  private:
    std::uint32_t lastSeen_ = 0;
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
