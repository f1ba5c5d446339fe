#pragma once
// Everything the hook thread and the UI thread share, and nothing else: the published key
// index, the Key Finder's "waiting" flag, the keys held back for an action that types, and
// the queue of events for the UI thread with its wake-up.

#include "hook/event_queue.h"
#include "hook/held_keys.h"
#include "hook/hook_output.h"
#include "hook/index_snapshots.h"
#include "hook/key_event.h"
#include "hook/key_index.h"
#include "hook/key_states.h"
#include "hook/modifier_state.h"
#include "hook/sent_instead.h"
#include "ports/input_marker.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace omnitap {

class HookChannel {
  public:
    static constexpr std::size_t kQueueCapacity = 8192;
    static constexpr std::uint32_t kWakeRetryMs = 10;
    explicit HookChannel(HookOutput& out) : out_(out) {}

    // UI thread: the hook matches against this table from its next event on. A new index is
    // built only when the table changed in a way the hook can see (not for a new launch
    // target, say); returns whether it was.
    bool publish(const KeyTable& table) {
        std::vector<KeyIndex::Entry> entries = KeyIndex::entriesOf(table);
        if (entries == published_) return false;
        snapshots_.publish(std::make_unique<const KeyIndex>(entries));
        published_ = std::move(entries);
        return true;
    }
    // UI thread: the Key Finder starts or stops waiting for a key.
    void setFinderWaiting(bool waiting) { finderWaiting_.store(waiting); }
    bool finderWaiting() const { return finderWaiting_.load(); }
    // UI thread: while paused, every key passes untouched, as if none were learned; only the
    // Key Finder still catches its key.
    void setPaused(bool paused) { paused_.store(paused, std::memory_order_relaxed); }
    bool paused() const { return paused_.load(std::memory_order_relaxed); }

    // UI thread: the places in the table of the entries that a queued event makes act, by
    // the hook's decision and the table as it is now.
    std::vector<int> acting(const KeyEvent& event) const {
        return snapshots_.current().acting(event);
    }
    // Any thread: how many times the key was pressed so far, repeats included.
    std::uint32_t presses(std::uint32_t vkCode, std::uint32_t scanCode) const {
        return keys_.presses(vkCode, scanCode);
    }
    // Events the UI thread never saw because the queue was full (the UI thread was stuck).
    std::uint64_t droppedEvents() const { return queue_.dropped(); }

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
            // A run of held keys goes before the next event, in batches; each send also takes
            // the keys held before the run that nobody sent yet (held while the queue was full).
            std::uint32_t end = 0, run = 0;
            auto sendHeld = [&] {
                if (run) held_.sendUpTo(end, send);
                run = 0;
            };
            while (std::optional<KeyEvent> event = queue_.pop()) {
                if (!event->resend || run == HeldKeys::kBatch) sendHeld();
                if (event->resend) {
                    end = event->heldNumber + 1;
                    ++run;
                }
                ActionDone done{event->holdsKeys ? &held_ : nullptr};
                if (event->handling != Handling::None) handle(*event);
            }
            sendHeld();
        } while (drainAgain_);
    }

    // Hook thread: the modifiers held anew from `isDown(vk)`, the system's view of a key, for
    // when the hook may have missed their events: installed, renewed, after resume or unlock
    // (a modifier let go on the lock screen is let go here too, and so is every key acting as
    // another).
    template <typename IsDown> void refreshModifiers(IsDown&& isDown) {
        mods_ = ModifierState::read(isDown);
        masked_ = static_cast<std::uint8_t>(masked_ & mods_.held());
        keys_.releaseActing([this](const ports::KeyStroke& key) {
            SentInstead instead;
            instead.letGo(key, masked_, mods_);
            out_.sendOwn(instead.keys());
        });
        finderModifier_ = 0;
    }

    // Hook thread: decides whether to swallow one event and queues it when the UI thread has
    // to see it. Never blocks, never allocates or frees, never calls a window.
    template <typename IsDown> bool onKeyEvent(KeyEvent event, IsDown&& isDown) {
        // Keystrokes the program types itself pass unexamined: typed text never triggers,
        // and is never eaten by, a learned key; nor do they change the modifiers the hook
        // sees held (typing lets the user's go for a moment and puts them back). Held keys
        // sent on end their hold as they come, and were counted when they were typed.
        if (event.extraInfo == ports::kOwnInputMarker) return false;
        if (event.extraInfo == ports::kHeldKeyMarker) {
            held_.cameBack(event.time);
            return false;
        }
        // The modifiers held with the key, not counting the key itself.
        const std::uint8_t modifier =
            ModifierState::bitOf(event.vkCode, event.scanCode, event.flags);
        SentInstead instead;
        bool swallow = decide(snapshots_.read(), event, isDown, modifier, instead);
        // A key acting as another is that key to the system, and to the modifiers held.
        const bool actsAs = !instead.empty();
        if (!actsAs) mods_.apply(event);
        // A swallowed key pressed with Win or Alt would leave a lone press and release of
        // the modifier to the focused program: the Start menu or the menu bar. A no-op key
        // goes just before the release, which is sent after it.
        if (event.released() && (masked_ & modifier) != 0 && !swallow) {
            instead.addMasked(strokeOf(event));
            swallow = true;
        }
        if (event.released()) masked_ = static_cast<std::uint8_t>(masked_ & ~modifier);
        // It must not overtake the held keys. (The buffer keeps more keys than can wait to
        // be claimed, see HeldKeys.) A character typed as text passes: sent on as a key it
        // would lose its character. The other key of one acting as another is always held:
        // the UI thread sends it, so the callback returns at once, and the keys after it wait.
        const bool hold = actsAs ? !held_.full()
                                 : (!swallow || !instead.empty()) && event.vkCode != kPacketKey &&
                                       held_.holds(event.time);
        if (hold) {
            if (instead.empty()) instead.add(strokeOf(event));
            if (actsAs) held_.holdAlone(event.time);
            const auto keys = instead.keys();
            for (std::size_t k = held_.hasRoom(keys.size()) ? 0 : keys.size() - 1; k < keys.size();
                 ++k)
                event.heldNumber = held_.hold(keys[k]);
            event.resend = queue_.hasRoom();
            if (!event.resend) held_.sendAtOnce();
            // Once per hold: the loop's timer then sends them itself, should the UI thread hang.
            loopWanted_ = loopWanted_ || (actsAs && !loopTimed_) || !event.resend;
            loopTimed_ = loopTimed_ || actsAs;
            swallow = true;
        } else if (!instead.empty()) {
            out_.sendOwn(instead.keys());
            swallow = true;
        }
        if ((event.handling != Handling::None || event.resend) && queue_.push(event)) {
            if (event.holdsKeys) {
                held_.actionQueued(event.time);
                loopWanted_ = true;
            }
            wakeUiThread();
        }
        return swallow;
    }
    // Hook thread, after an event: whether its loop has to run idle() now (keys began to be
    // held, or must be sent at once, or a wake-up was refused). The loop sleeps through the
    // events otherwise: a key costs the hook thread no more than its callback.
    bool takeLoopRequest() { return std::exchange(loopWanted_, false); }

    // Hook thread, from its message loop: sends on keys held for too long (see HeldKeys),
    // and tells the UI thread again of events it could not be told of. Returns how many
    // milliseconds to wait before calling again, or nothing while there is nothing to do.
    std::optional<std::uint32_t> idle(std::uint32_t now) {
        std::optional<std::uint32_t> wait = held_.sendOverdue(
            now, [this](std::span<const ports::KeyStroke> keys) { out_.sendOn(keys); });
        if (wakeRefused_) {
            wakeRefused_ = false;
            wakePending_.store(false, std::memory_order_release);
            wakeUiThread();
        }
        if (wakeRefused_) wait = std::min(wait.value_or(kWakeRetryMs), kWakeRetryMs);
        loopTimed_ = wait.has_value();
        return wait;
    }

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

    // What the program does with the event: swallowed (the result) or passed on, and what
    // the UI thread is to do with it (`event.handling`). A release, and a press that repeats
    // a held key, go as the key's press went; a repeat runs no action. `modifier` is the
    // event's bit among the modifiers, 0 for another key; `instead` gets the key that the
    // event's key acts as, pressed, repeated or released.
    template <typename IsDown>
    bool decide(const KeyIndex& index, KeyEvent& event, IsDown&& isDown, std::uint8_t modifier,
                SentInstead& instead) {
        // A flag alone, publishing nothing else: the next event after the change sees it.
        const KeyIndex::Slot* slot = paused_.load(std::memory_order_relaxed)
                                         ? nullptr
                                         : index.find(event.vkCode, event.scanCode);
        KeyStates::Key& key = keys_.of(event.vkCode, event.scanCode);
        const bool pressSwallowed = key.down == KeyStates::Down::Swallowed;
        const bool repeat = !event.released() && KeyStates::repeats(key, event.time);
        key.lastEvent = event.time;
        if (event.released()) {
            key.down = KeyStates::Down::No;
            if (key.actingAs.vk != 0)
                instead.letGo(std::exchange(key.actingAs, {}), masked_, mods_);
            // Every learned key's release ends the volume repeat.
            if (slot) event.handling = pressSwallowed ? Handling::Release : Handling::EndRepeat;
            // A modifier pressed and let go alone is the waiting Key Finder's key, itself.
            if (modifier && modifier == finderModifier_ && !pressSwallowed && queue_.hasRoom() &&
                finderWaiting_.load() && finderWaiting_.exchange(false)) {
                event.caughtByFinder = true;
                event.handling = Handling::Press;
                masked_ = static_cast<std::uint8_t>(masked_ | modifier);
            }
            return pressSwallowed;
        }
        KeyStates::pressed(key);
        if (repeat) {
            if (key.actingAs.vk != 0) instead.add(key.actingAs);
            return pressSwallowed;
        }
        // A new press. One that cannot be queued passes, its release too: never swallowed
        // without its action; and the Key Finder waits on.
        key.down = KeyStates::Down::Passed;
        if (!queue_.hasRoom()) {
            queue_.refuse();
            return false;
        }
        event.mods = mods_.held();
        const bool acts = slot && index.open(*slot, event, isDown, mods_);
        // The Key Finder's key is a new press, with the modifiers held; a modifier that does
        // not act is its key only when let go with no other key pressed (see above).
        finderModifier_ = modifier;
        event.caughtByFinder =
            (acts || !modifier) && finderWaiting_.load() && finderWaiting_.exchange(false);
        if (!acts && !event.caughtByFinder) return false;
        event.handling = Handling::Press;
        key.down = KeyStates::Down::Swallowed;
        masked_ =
            static_cast<std::uint8_t>(masked_ | (mods_.held() & SentInstead::kMaskedModifiers));
        if (event.actAs.vk != 0 && !event.caughtByFinder)
            instead.press(event.actAs, key.actingAs, mods_);
        return true;
    }

    // Hook thread. Both threads change `wakePending_` only by read-modify-writes, which are
    // totally ordered on one atomic, each reading what the one before it wrote. If the UI
    // thread's exchange(false) comes first, ours reads false and posts a wake-up. If ours
    // comes first, the UI thread's reads our true (or a later value of this thread), so it
    // synchronises with us and sees the event pushed before: it drains that event after
    // clearing the flag. Either way no event waits without a wake-up on its way. A refused
    // post leaves the flag set, so that the events after it do not post in vain; the hook
    // thread's loop clears it and posts again every kWakeRetryMs until one is taken (the
    // clearing store is ours, so the reasoning above holds for that post as well).
    void wakeUiThread() {
        if (wakePending_.exchange(true, std::memory_order_acq_rel)) return;
        wakeRefused_ = !out_.wake();
        loopWanted_ = loopWanted_ || wakeRefused_;
    }

    HookOutput& out_;
    IndexSnapshots snapshots_;
    KeyStates keys_; // hook thread only, but for the presses
    HeldKeys held_;
    std::atomic<bool> finderWaiting_{false};
    std::atomic<bool> paused_{false};
    std::atomic<bool> wakePending_{false};
    bool wakeRefused_ = false; // hook thread, as are the ones below
    bool loopWanted_ = false;
    bool loopTimed_ = false;          // idle() asked the loop to call again
    ModifierState mods_;              // the modifiers held, as the hook saw them go
    std::uint8_t masked_ = 0;         // those of them whose release is to be masked
    std::uint8_t finderModifier_ = 0; // the modifier pressed last, if no key came after it
    EventQueue<KeyEvent, kQueueCapacity> queue_;
    std::vector<KeyIndex::Entry> published_; // UI thread only, as are the two below
    bool draining_ = false;
    bool drainAgain_ = false;
};

} // namespace omnitap
