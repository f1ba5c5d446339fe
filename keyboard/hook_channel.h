#pragma once
// Everything the hook thread and the UI thread share, and nothing else: the published key
// index, the Key Finder's "waiting" flag, and the queue of events for the UI thread.

#include "keyboard/event_queue.h"
#include "keyboard/key_event.h"
#include "keyboard/key_index.h"
#include "platform/input_marker.h"

#include <atomic>
#include <functional>
#include <memory>

namespace omnitap {

class HookChannel {
  public:
    static constexpr std::size_t kQueueCapacity = 8192;

    HookChannel() : index_(std::make_shared<const KeyIndex>()) {}

    // UI thread: the hook matches against this table from the next event on.
    void publish(const KeyTable& table) { index_.store(std::make_shared<const KeyIndex>(table)); }
    // UI thread: the Key Finder starts or stops waiting for a key.
    void setFinderWaiting(bool waiting) { finderWaiting_.store(waiting); }
    // UI thread: hands every queued event to `handle`, in order.
    template <typename Handle> void drain(Handle&& handle) {
        wakePending_.store(false);
        while (auto event = queue_.pop())
            handle(*event);
    }

    // Hook thread: classifies one event, queues it for the UI thread and says whether to
    // swallow it. Never blocks, never allocates, never calls a window.
    template <typename IsDown> bool onKeyEvent(KeyEvent event, IsDown&& isDown) {
        // Keystrokes the program types itself pass unexamined: typed text never triggers,
        // and is never eaten by, a learned key.
        if (event.extraInfo == platform::kOwnInputMarker) return false;
        std::shared_ptr<const KeyIndex> index = index_.load();
        // Only the first event after the Key Finder starts waiting is caught.
        bool finderTookIt = finderWaiting_.load() && finderWaiting_.exchange(false);
        bool swallow = classify(*index, event, finderTookIt, isDown);
        if (swallow) {
            queue_.push(event);
            if (!wakePending_.exchange(true) && wake) wake();
        }
        return swallow;
    }

    std::uint64_t droppedEvents() const { return queue_.dropped(); }

    // Set once before the hook starts: tells the UI thread that events are waiting.
    std::function<void()> wake;

  private:
    std::atomic<std::shared_ptr<const KeyIndex>> index_;
    std::atomic<bool> finderWaiting_{false};
    std::atomic<bool> wakePending_{false};
    EventQueue<KeyEvent, kQueueCapacity> queue_;
};

} // namespace omnitap
