#pragma once
// Noticing that the system dropped the hook. Windows removes a low-level hook whose callback
// was too slow and tells nobody; after sleep and on unlock a hook may be gone as well. The
// keyboard's raw input keeps arriving when the hook is gone; but a raw input message for every
// key costs about as much as the hook itself, so the program listens to it only once the hook
// has been quiet for a second, and stops at the first raw key that the hook saw as well. While
// the user types, the hook sees the keys and nothing else runs; a hook that the system dropped
// is found within a second and two keys.
//
// Each key reaches the hook before its raw input is made (the keys it swallows raise none),
// but the two may be handled in either order (Wine makes the raw input first, and the raw
// input is handled on the UI thread, which may be late). So a raw key event when the hook has
// seen nothing for about a second is suspect; if the hook then sees it, the hook is alive;
// when the next raw key event comes and the hook has still seen nothing since the suspect
// one, the hook is gone: a fresh one is installed at once, and the key after the one that
// went unseen is the program's again. At rest nothing runs: no timer, no polling; the hook
// thread's loop wakes once, a second after the last key (or after it is told that raw input
// was turned off), to ask for raw input.
//
// After sleep and on unlock the hook may be gone as well, but a fresh hook goes first in the
// chain, ahead of the keyboard tools that were ahead of it: the keys they handled would be
// the program's. So the hook is asked first: its thread sends one no-op key with the probe's
// marker, and only when the hook has not seen it kProbeMs later is a fresh one installed.

#include "ports/input_marker.h"

#include <atomic>
#include <cstdint>
#include <optional>

namespace omnitap {

class HookWatch {
  public:
    static constexpr std::int32_t kQuietMs = 1000;
    static constexpr std::uint32_t kProbeMs = 100;

    // Hook thread: the hook saw an event at `now` (milliseconds, the system's tick count).
    void hookSaw(std::uint32_t now) { lastSeen_.store(now, std::memory_order_relaxed); }

    // Hook thread, from its loop at `now`: whether to ask for raw input now (the hook has
    // been quiet for a second and nobody listens), or else how long until then (nothing
    // while raw input is asked for or listened to).
    struct Quiet {
        bool listen = false;
        std::optional<std::uint32_t> wait;
    };
    Quiet quiet(std::uint32_t now) {
        Raw off = Raw::Off;
        if (raw_.load(std::memory_order_acquire) != Raw::Off) return {};
        // Tick counts wrap: differences are read as signed (one beyond 24 days as long).
        const auto since =
            static_cast<std::int32_t>(now - lastSeen_.load(std::memory_order_relaxed));
        if (since >= 0 && since < kQuietMs)
            return {false, static_cast<std::uint32_t>(kQuietMs - since)};
        return {raw_.compare_exchange_strong(off, Raw::Asked), std::nullopt};
    }
    // Hook thread: the request could not be handed over; the loop asks again.
    void notAsked() { raw_.store(Raw::Off, std::memory_order_release); }
    // The raw input thread: raw input is listened to now.
    void listening() { raw_.store(Raw::On, std::memory_order_release); }

    // The raw input thread: a raw key event made at `time`. HookAlive: stop listening;
    // HookGone: a fresh hook must be installed (listen on).
    enum class Verdict { Wait, HookAlive, HookGone };
    Verdict rawKey(std::uint32_t time) {
        const std::uint32_t seen = lastSeen_.load(std::memory_order_relaxed);
        if (static_cast<std::int32_t>(time - seen) <= kQuietMs ||
            (suspect_ && static_cast<std::int32_t>(seen - suspectTime_) >= 0)) {
            suspect_ = false;
            raw_.store(Raw::Off, std::memory_order_release);
            return Verdict::HookAlive;
        }
        if (!suspect_) {
            suspect_ = true; // its hook call may still be on its way
            suspectTime_ = time;
            return Verdict::Wait;
        }
        suspect_ = false; // the fresh hook is judged by the keys after it, as the old one was
        return Verdict::HookGone;
    }

    // Hook thread, from its loop: the probe was sent at `now`.
    void probeSent(std::uint32_t now) {
        probing_ = true;
        probeSent_ = now;
    }
    // Hook thread, in the callback: whether the event is the probe (it is nobody else's).
    bool tookProbe(std::uintptr_t extraInfo) {
        if (extraInfo != ports::kHookProbeMarker) return false;
        probing_ = false;
        return true;
    }
    // Hook thread, from its loop at `now`: whether the probe went unseen, so that a fresh hook
    // must be installed now, or else how long until that is known (nothing: no probe waits).
    struct Probe {
        bool renew = false;
        std::optional<std::uint32_t> wait;
    };
    Probe probe(std::uint32_t now) {
        if (!probing_) return {};
        const std::uint32_t since = now - probeSent_;
        if (since < kProbeMs) return {false, kProbeMs - since};
        probing_ = false;
        return {true, std::nullopt};
    }

  private:
    enum class Raw : std::uint8_t { Off, Asked, On };
    std::atomic<std::uint32_t> lastSeen_{0};
    std::atomic<Raw> raw_{Raw::Off};
    bool suspect_ = false; // a raw key event came while the hook was quiet; raw input thread
    std::uint32_t suspectTime_ = 0;
    bool probing_ = false; // a probe was sent and not seen yet; hook thread, as is the time
    std::uint32_t probeSent_ = 0;
};

inline constexpr std::uint32_t kPowerBroadcast = 0x0218; // WM_POWERBROADCAST
inline constexpr std::uint32_t kSessionChange = 0x02B1;  // WM_WTSSESSION_CHANGE

// The system's notifications after which the hook may be gone: resume from sleep, the
// session unlocked or connected again. The hook is then probed, and renewed (a fresh one
// before the old one is removed) only when it does not see the probe.
inline bool needsHookCheck(std::uint32_t message, std::uintptr_t wParam) {
    switch (message) {
    case kPowerBroadcast: // PBT_APMRESUMESUSPEND, PBT_APMRESUMEAUTOMATIC
        return wParam == 0x7 || wParam == 0x12;
    case kSessionChange: // WTS_CONSOLE_CONNECT, WTS_REMOTE_CONNECT, WTS_SESSION_UNLOCK
        return wParam == 0x1 || wParam == 0x3 || wParam == 0x8;
    default:
        return false;
    }
}

// The notifications after which a key held now may be let go where the hook cannot see it:
// any change of the session (a lock, a switch of user, a disconnection takes the keyboard to
// another desktop), suspend (PBT_APMSUSPEND), and everything that checks the hook.
inline bool mayLoseReleases(std::uint32_t message, std::uintptr_t wParam) {
    return message == kSessionChange || (message == kPowerBroadcast && wParam == 0x4) ||
           needsHookCheck(message, wParam);
}

} // namespace omnitap
