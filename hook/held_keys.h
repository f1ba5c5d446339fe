#pragma once
// The keys a user types right after a key that copies or types the track must not overtake
// its result (Ctrl+V pasting the old clipboard, text typed into the middle of the title).
// While such an action is queued or running, the hook swallows the keys that follow and
// queues them, in order, among the other events for the UI thread; the UI thread sends them
// on (marked as our own input) when it gets to them, that is after the action. Should the
// action take longer than kLimitMs (a hung player), the hook thread sends them on itself
// from its message loop: typing never waits on a hung player.
//
// Both threads may send, so each held key is claimed before it is sent: `sent_` counts the
// held keys claimed so far, and its low bit says that a claim is being sent right now. The
// one who moves the count claims the keys in between; no key goes twice. While a claim is
// being sent the others wait for it (the hook thread by coming back later, never blocking),
// so no key overtakes another; and the hook keeps holding new keys until every key it held
// was sent.

#include "ports/typing.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <thread>

namespace omnitap {

class HeldKeys {
  public:
    static constexpr std::uint32_t kCapacity = 256; // keys held and not yet sent
    static constexpr std::uint32_t kLimitMs = 1000; // the longest a key is held
    static constexpr std::uint32_t kRetryMs = 5;

    HeldKeys() : keys_(std::make_unique<ports::KeyStroke[]>(kCapacity)) {}

    // Hook thread: whether keys are held now, and whether the next one can be.
    bool holding() const { return actionPending() || keysPending(); }
    bool full() const { return held_ - (sent_.load(std::memory_order_acquire) >> 1) >= kCapacity; }
    // Hook thread: the number the next held key will have.
    std::uint32_t nextNumber() const { return held_; }
    // Hook thread: a key was held (queued for the UI thread under nextNumber()).
    void held(const ports::KeyStroke& key) { keys_[held_++ % kCapacity] = key; }
    // Hook thread: a key whose action holds the keys after it was queued at `time`.
    void actionQueued(std::uint32_t time) {
        if (!holding()) since_ = time;
        ++queued_;
    }

    // Hook thread, from its message loop: once keys were held for kLimitMs, sends them on
    // with `send` and stops waiting for the actions queued so far. Returns how many
    // milliseconds to wait before calling again, or nothing while no key is held.
    template <typename Send>
    std::optional<std::uint32_t> sendOverdue(std::uint32_t now, Send&& send) {
        if (!holding()) return std::nullopt;
        if (now - since_ < kLimitMs) return kLimitMs - (now - since_);
        std::uint32_t word = sent_.load(std::memory_order_acquire);
        if (word & kSending) return kRetryMs; // the UI thread is sending: after it
        if (!sent_.compare_exchange_strong(word, held_ << 1 | kSending, std::memory_order_acq_rel))
            return 0;
        std::array<ports::KeyStroke, kCapacity> keys;
        std::uint32_t count = 0;
        for (std::uint32_t n = word >> 1; n != held_; ++n)
            keys[count++] = keys_[n % kCapacity];
        if (count) send(std::span<const ports::KeyStroke>(keys.data(), count));
        sent_.store(held_ << 1, std::memory_order_release);
        givenUp_ = queued_;
        return std::nullopt;
    }

    // UI thread: sends on the held keys numbered from `first`, unless the hook thread sent
    // them already.
    template <typename Send>
    void sendOn(std::uint32_t first, std::span<const ports::KeyStroke> keys, Send&& send) {
        const auto end = first + static_cast<std::uint32_t>(keys.size());
        for (;;) {
            std::uint32_t word = sent_.load(std::memory_order_acquire);
            if (word & kSending) { // the hook thread is sending them: they go before ours
                std::this_thread::yield();
                continue;
            }
            std::uint32_t from = word >> 1;
            if (static_cast<std::int32_t>(end - from) <= 0) return;
            if (!sent_.compare_exchange_weak(word, end << 1 | kSending, std::memory_order_acq_rel))
                continue;
            send(keys.subspan(from > first ? from - first : 0));
            sent_.store(end << 1, std::memory_order_release);
            return;
        }
    }
    // UI thread: a key that held the keys after it has been handled.
    void actionDone() { done_.fetch_add(1, std::memory_order_release); }

  private:
    static constexpr std::uint32_t kSending = 1;

    bool actionPending() const {
        return done_.load(std::memory_order_acquire) != queued_ && queued_ != givenUp_;
    }
    bool keysPending() const { return sent_.load(std::memory_order_acquire) != held_ << 1; }

    std::unique_ptr<ports::KeyStroke[]> keys_; // by number, modulo kCapacity; hook thread
    std::uint32_t held_ = 0;                   // keys held so far; hook thread
    std::uint32_t queued_ = 0;                 // actions that hold keys, queued so far; hook
    std::uint32_t givenUp_ = 0;                // queued_ when the hook last stopped waiting
    std::uint32_t since_ = 0;                  // when keys began to be held; hook thread
    std::atomic<std::uint32_t> done_{0};       // actions handled by the UI thread
    std::atomic<std::uint32_t> sent_{0};       // keys claimed << 1 | kSending
};

} // namespace omnitap
