#pragma once
// The keys a user types right after a key that copies or types the track must not overtake
// its result (Ctrl+V pasting the old clipboard, text typed into the middle of the title).
// While such an action is queued or running, the hook swallows the keys that follow and
// queues them, in order, among the other events for the UI thread; the UI thread sends them
// on (marked as held keys) when it gets to them, that is after the action. Should the action
// take longer than kLimitMs (a hung player), or the queue be full (the UI thread stuck), the
// hook thread sends them on itself from its message loop, never from the hook's callback:
// typing never waits on a hung player, and no key is let through ahead of the held ones.
// (Under Wine, SendInput waits until the hooks have seen what it sends: the hook thread must
// be free to answer.)
//
// Keys sent on join the end of the system's input queue, behind keys the user typed in the
// meantime and that have not reached the hook yet: those would overtake them. So the hold
// lasts until every key sent on came back through the hook (by its marker), and the keys
// the user types before then are held as well; but never longer than kLimitMs after the hook
// saw the actions end (or stopped waiting for them), whatever comes back: another keyboard
// tool may swallow a key sent on, or remap it and inject another, which the hook holds and
// sends on in its turn; no key coming back prolongs the hold.
//
// Both threads may send, so each held key is claimed before it is sent: `sent_` counts the
// held keys claimed so far, and its low bit says that a claim is being sent right now. The
// one who moves the count claims the keys in between; no key goes twice. While a claim is
// being sent the other waits for it (the hook thread by coming back later from its loop),
// so no key overtakes another.
//
// The buffer keeps every held key until it is claimed and sent: those in the queue, those
// the UI thread took out of it and sends in batches of at most kBatch, and those that came
// while the queue was full and that the hook thread's loop sends at once. Whoever claims
// sends from the buffer every key up to its claim, so a key held while the queue was full is
// never skipped by the UI thread when it gets to the keys held after it first.

#include "ports/typing.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <thread>

namespace omnitap {

class HeldKeys {
  public:
    static constexpr std::uint32_t kCapacity = 16384; // twice the queue
    static constexpr std::uint32_t kBatch = 256;      // the most the UI thread claims at once
    static constexpr std::uint32_t kLimitMs = 1000;   // the longest a key is held
    static constexpr std::uint32_t kRetryMs = 5;
    static constexpr std::uint32_t kWatchMs = 100; // how often the loop looks at the actions

    HeldKeys() : keys_(std::make_unique<ports::KeyStroke[]>(kCapacity)) {}

    // Hook thread: whether a key that reached the hook at `time` is to be held: while the
    // actions are pending every key (that can be), after them the user's own until the keys
    // sent on are back.
    bool holds(std::uint32_t time) {
        seeActionsEnd(time);
        return !full() && (waiting_ || held_ != back_);
    }
    bool full() const { return !hasRoom(1); }
    bool hasRoom(std::uint32_t keys) const {
        return held_ - freed_.load(std::memory_order_acquire) + keys <= kCapacity;
    }
    // Hook thread: holds a key; returns its number.
    std::uint32_t hold(const ports::KeyStroke& key) {
        keys_[held_ % kCapacity] = key;
        return held_++;
    }
    // Hook thread: the UI thread cannot be told of the key just held (the queue is full): the
    // loop is to send the held keys at once, and to wait no longer for the actions.
    void sendAtOnce() { atOnce_ = true; }
    // Hook thread: a key whose action holds the keys after it was queued at `time`.
    void actionQueued(std::uint32_t time) {
        if (!waiting_) since_ = time;
        waiting_ = true;
        ++queued_;
    }
    // Hook thread: keys are to be held at `time` for no action (the keys that others act as,
    // which the UI thread sends in their turn): with no action to wait for, a hold that
    // begins now is over kLimitMs after, whatever comes back.
    void holdAlone(std::uint32_t time) {
        if (!waiting_ && held_ == back_) endsAt_ = time;
    }
    // Hook thread: a key sent on came back through the hook at `time`.
    void cameBack(std::uint32_t time) {
        seeActionsEnd(time);
        if (back_ != held_) ++back_; // not one the hook gave up on
    }

    // Hook thread, from its message loop at `now`: once the actions kept keys for kLimitMs,
    // or at once when asked to, sends them on with `send` and stops waiting for the actions
    // queued so far; kLimitMs after the actions ended it sends what is left and the hold is
    // over (another program's hook may have kept or changed the keys sent on). Returns how
    // many milliseconds to wait before calling again, or nothing while no key is held.
    template <typename Send>
    std::optional<std::uint32_t> sendOverdue(std::uint32_t now, Send&& send) {
        seeActionsEnd(now);
        if (!waiting_ && held_ == back_) return std::nullopt;
        // A key that came back during the loop's last wait may carry a time after `now`.
        const auto until = [now](std::uint32_t end) {
            return static_cast<std::int32_t>(end - now) > 0 ? end - now : 0;
        };
        const std::uint32_t left = until((waiting_ ? since_ : endsAt_) + kLimitMs);
        if (!atOnce_ && left > 0) return waiting_ ? std::min(left, kWatchMs) : left;
        std::uint32_t word = sent_.load(std::memory_order_acquire);
        if (word & kSending) return kRetryMs; // the UI thread is sending: after it
        if (word >> 1 != held_) {
            if (!sent_.compare_exchange_strong(word, held_ << 1 | kSending,
                                               std::memory_order_acq_rel))
                return 0;
            sendClaim(word >> 1, held_, send);
        }
        atOnce_ = false;
        if (waiting_) { // given up: the keys sent now have kLimitMs to come back
            givenUp_ = queued_;
            waiting_ = false;
            endsAt_ = now;
        } else if (left == 0) {
            back_ = held_; // the hold is over
        }
        return held_ != back_ ? std::optional(until(endsAt_ + kLimitMs)) : std::nullopt;
    }

    // UI thread: sends on the held keys numbered below `end` that nobody claimed yet.
    template <typename Send> void sendUpTo(std::uint32_t end, Send&& send) {
        for (;;) {
            std::uint32_t word = sent_.load(std::memory_order_acquire);
            if (word & kSending) { // the hook thread is sending them: they go before ours
                std::this_thread::yield();
                continue;
            }
            if (static_cast<std::int32_t>(end - (word >> 1)) <= 0) return;
            if (!sent_.compare_exchange_weak(word, end << 1 | kSending, std::memory_order_acq_rel))
                continue;
            sendClaim(word >> 1, end, send);
            return;
        }
    }
    // UI thread: a key that held the keys after it has been handled.
    void actionDone() { done_.fetch_add(1, std::memory_order_release); }

  private:
    static constexpr std::uint32_t kSending = 1;

    // Hook thread, at `time`: the actions the hook waited for were handled by now.
    void seeActionsEnd(std::uint32_t time) {
        if (waiting_ && !actionPending()) {
            waiting_ = false;
            endsAt_ = time;
        }
    }

    // Sends the claimed keys [from, to) in one or two pieces of the ring, then frees their
    // places and ends the claim. The hook thread wrote them before it queued the event that
    // led the UI thread here, or it is the sender itself.
    template <typename Send> void sendClaim(std::uint32_t from, std::uint32_t to, Send&& send) {
        while (from != to) {
            const std::uint32_t at = from % kCapacity;
            const std::uint32_t count = std::min(to - from, kCapacity - at);
            send(std::span<const ports::KeyStroke>(&keys_[at], count));
            from += count;
        }
        freed_.store(to, std::memory_order_release);
        sent_.store(to << 1, std::memory_order_release);
    }

    bool actionPending() const {
        return done_.load(std::memory_order_acquire) != queued_ && queued_ != givenUp_;
    }

    std::unique_ptr<ports::KeyStroke[]> keys_; // by number, modulo kCapacity; hook thread
    std::uint32_t held_ = 0;                   // keys held so far; hook thread
    std::uint32_t back_ = 0;                   // of them, come back after sending; hook thread
    std::uint32_t queued_ = 0;                 // actions that hold keys, queued so far; hook
    std::uint32_t givenUp_ = 0;                // queued_ when the hook last stopped waiting
    std::uint32_t since_ = 0;                  // when the hook began to wait for actions; hook
    std::uint32_t endsAt_ = 0; // when it saw them end: the hold is over kLimitMs after; hook
    bool waiting_ = false;     // for the actions queued so far; hook thread
    bool atOnce_ = false;      // the loop sends at once; hook thread
    std::atomic<std::uint32_t> done_{0};  // actions handled by the UI thread
    std::atomic<std::uint32_t> sent_{0};  // keys claimed << 1 | kSending
    std::atomic<std::uint32_t> freed_{0}; // keys claimed and sent: their places are free
};

} // namespace omnitap
