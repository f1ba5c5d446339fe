#pragma once
// Everything the hook thread and the UI thread share, and nothing else: the published key
// index, the Key Finder's "waiting" flag, the keys held back for an action that types, and
// the queue of events for the UI thread with its wake-up.

#include "hook/event_queue.h"
#include "hook/held_keys.h"
#include "hook/index_snapshots.h"
#include "hook/key_event.h"
#include "hook/key_index.h"
#include "hook/key_states.h"
#include "ports/input_marker.h"

#include <atomic>
#include <memory>
#include <optional>
#include <vector>

namespace omnitap {

// How the hook thread tells the UI thread that events are waiting. Fixed when the channel is
// built; runs on the hook thread and must not block.
class Wake {
  public:
    virtual ~Wake() = default;
    // False when the UI thread could not be told (its message queue is full).
    virtual bool wake() = 0;
};

class HookChannel {
  public:
    static constexpr std::size_t kQueueCapacity = 8192;

    explicit HookChannel(Wake& wake) : wake_(wake) {}

    // UI thread: the hook matches against this table from its next event on. A new index is
    // built only when the table changed in a way the hook can see (not for a new launch
    // target, say); returns whether it was.
    bool publish(const KeyTable& table) {
        ++publications_;
        std::vector<KeyIndex::Entry> entries = KeyIndex::entriesOf(table);
        if (entries == published_) return false;
        snapshots_.publish(std::make_unique<const KeyIndex>(entries));
        published_ = std::move(entries);
        return true;
    }
    // How many times a table was handed over so far.
    std::uint64_t publications() const { return publications_; }
    // UI thread: the Key Finder starts or stops waiting for a key.
    void setFinderWaiting(bool waiting) { finderWaiting_.store(waiting); }
    bool finderWaiting() const { return finderWaiting_.load(); }
    // UI thread: while paused, every key passes untouched, as if none were learned; only the
    // Key Finder still catches its key.
    void setPaused(bool paused) { paused_.store(paused, std::memory_order_relaxed); }
    bool paused() const { return paused_.load(std::memory_order_relaxed); }

    // UI thread: hands the queued events that the key handling must see to `handle`, and the
    // held keys to `send` (as one batch per run of them), in the order of the events.
    template <typename Handle, typename Send> void drain(Handle&& handle, Send&& send) {
        // An action may run a message loop that comes back here: the outer drain goes on.
        if (draining_) {
            drainAgain_ = true;
            return;
        }
        draining_ = true;
        Reset reset{draining_};
        do {
            drainAgain_ = false;
            // The other half of wakeUiThread().
            wakePending_.exchange(false, std::memory_order_acq_rel);
            snapshots_.reclaim();
            std::vector<ports::KeyStroke> held;
            std::uint32_t first = 0;
            auto sendHeld = [&] {
                if (!held.empty()) held_.sendOn(first, held, send);
                held.clear();
            };
            while (std::optional<KeyEvent> event = queue_.pop()) {
                if (event->resend) {
                    if (held.empty()) first = event->heldNumber;
                    held.push_back(strokeOf(*event));
                } else {
                    sendHeld();
                }
                ActionDone done{event->holdsKeys ? &held_ : nullptr};
                if (event->act) handle(*event);
            }
            sendHeld();
        } while (drainAgain_);
    }

    // Hook thread: decides whether to swallow one event and queues it when the UI thread has
    // to see it. Never blocks, never allocates or frees, never calls a window.
    template <typename IsDown> bool onKeyEvent(KeyEvent event, IsDown&& isDown) {
        // Keystrokes the program types itself pass unexamined: typed text never triggers,
        // and is never eaten by, a learned key.
        if (event.extraInfo == ports::kOwnInputMarker) return false;
        bool swallow = decide(snapshots_.read(), event, isDown);
        if (!swallow && held_.holding() && !held_.full()) {
            event.resend = true;
            event.heldNumber = held_.nextNumber();
        }
        if ((event.act || event.resend) && queue_.push(event)) {
            if (event.resend) {
                held_.held(strokeOf(event));
                swallow = true;
            }
            if (event.holdsKeys) held_.actionQueued(event.time);
            wakeUiThread();
        }
        return swallow;
    }

    // Hook thread, from its message loop: sends on keys held for too long (see HeldKeys).
    template <typename Send>
    std::optional<std::uint32_t> sendOverdueKeys(std::uint32_t now, Send&& send) {
        return held_.sendOverdue(now, send);
    }

    std::uint64_t droppedEvents() const { return queue_.dropped(); }

  private:
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    };
    struct ActionDone { // also when the handling fails: the hook must not wait for it
        HeldKeys* held;
        ~ActionDone() {
            if (held) held->actionDone();
        }
    };

    template <typename IsDown>
    bool decide(const KeyIndex& index, KeyEvent& event, IsDown&& isDown) {
        // A flag alone, publishing nothing else: the next event after the change sees it.
        const KeyIndex::Slot* slot = paused_.load(std::memory_order_relaxed)
                                         ? nullptr
                                         : index.find(event.vkCode, event.scanCode);
        KeyStates::Key& key = keys_.of(event.vkCode, event.scanCode);
        // A release, and a press that repeats a held key, go as the key's press went.
        bool swallow = key.down == KeyStates::Down::Swallowed;
        if (event.released()) {
            event.act = slot != nullptr; // every learned key's release ends the volume repeat
            key.down = KeyStates::Down::No;
        } else if (!KeyStates::repeats(key, event.time)) {
            // Only a new press is the Key Finder's key: never a release or a repeat.
            event.caughtByFinder = finderWaiting_.load() && finderWaiting_.exchange(false);
            bool acts = slot && pressActs(index, *slot, event, isDown);
            event.act = acts || event.caughtByFinder;
            event.holdsKeys = acts && slot->holdsKeys;
            swallow = event.act;
            key.down = swallow ? KeyStates::Down::Swallowed : KeyStates::Down::Passed;
        }
        key.lastEvent = event.time;
        return swallow;
    }

    // Hook thread. Both threads change `wakePending_` only by read-modify-writes, which are
    // totally ordered on one atomic, each reading what the one before it wrote. If the UI
    // thread's exchange(false) comes first, ours reads false and posts a wake-up. If ours
    // comes first, the UI thread's reads our true (or a later value of this thread), so it
    // synchronises with us and sees the event pushed before: it drains that event after
    // clearing the flag. Either way no event waits without a wake-up on its way. A failed
    // post clears the flag again (a release store, read the same way), so the next event
    // posts anew; meanwhile the UI thread drains whenever it wakes for anything else.
    void wakeUiThread() {
        if (wakePending_.exchange(true, std::memory_order_acq_rel)) return;
        if (!wake_.wake()) wakePending_.store(false, std::memory_order_release);
    }

    Wake& wake_;
    IndexSnapshots snapshots_;
    KeyStates keys_; // hook thread only
    HeldKeys held_;
    std::atomic<bool> finderWaiting_{false};
    std::atomic<bool> paused_{false};
    std::atomic<bool> wakePending_{false};
    EventQueue<KeyEvent, kQueueCapacity> queue_;
    std::vector<KeyIndex::Entry> published_; // UI thread only, as are the three below
    std::uint64_t publications_ = 0;
    bool draining_ = false;
    bool drainAgain_ = false;
};

} // namespace omnitap
