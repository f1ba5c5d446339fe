#pragma once
// Waiting out what another program holds for a moment: one rule for every such wait, and how
// long each one lasts.

#include <chrono>

namespace omnitap {

struct Patience {
    std::chrono::milliseconds pause; // between two tries
    std::chrono::milliseconds total; // of pauses, at most
};

// keys.ini, held by a virus scanner, a backup or a sync client.
inline constexpr Patience kLockedFilePatience{std::chrono::milliseconds(100),
                                              std::chrono::milliseconds(2000)};
// The clipboard, kept open by another program (a clipboard manager reading it).
inline constexpr Patience kClipboardPatience{std::chrono::milliseconds(20),
                                             std::chrono::milliseconds(200)};
// The first copy's window, which a later copy asks for: the first copy may still be starting.
inline constexpr Patience kFirstCopyPatience{std::chrono::milliseconds(100),
                                             std::chrono::milliseconds(5000)};

struct Succeeded {
    template <class Result> bool operator()(const Result& result) const {
        return static_cast<bool>(result);
    }
};

// Calls `attempt` until `done` says its result will do, waiting `patience.pause` with `wait`
// before each new try, for `patience.total` at most; returns the last result.
template <class Wait, class Attempt, class Done = Succeeded>
auto retryFor(Patience patience, Wait&& wait, Attempt&& attempt, Done&& done = {}) {
    auto result = attempt();
    for (auto waited = patience.pause; !done(result) && waited <= patience.total;
         waited += patience.pause) {
        wait(patience.pause);
        result = attempt();
    }
    return result;
}

} // namespace omnitap
