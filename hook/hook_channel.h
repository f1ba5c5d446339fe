#pragma once
// Everything the hook thread and the UI thread share, and nothing else: the published key
// index, the Key Finder's "waiting" flag, and the queue of events for the UI thread.

#include "hook/event_queue.h"
#include "hook/key_event.h"
#include "hook/key_index.h"
#include "ports/input_marker.h"

#include <atomic>
#include <memory>

namespace omnitap {

// How the hook thread tells the UI thread that events are waiting. Runs on the hook thread and
// must not block.
class Wake {
  public:
    virtual ~Wake() = default;
    virtual void wake() = 0;
};

class HookChannel {
  public:
    static constexpr std::size_t kQueueCapacity = 8192;

    explicit HookChannel(Wake& wake) : index_(std::make_shared<const KeyIndex>()), wake_(wake) {}

    // UI thread: the hook matches against this table from the next event on.
    void publish(const KeyTable& table) {
        index_.store(std::make_shared<const KeyIndex>(table));
        ++publications_;
    }
    // How many tables were published so far.
    std::uint64_t publications() const { return publications_; }
    // UI thread: the Key Finder starts or stops waiting for a key.
    void setFinderWaiting(bool waiting) { finderWaiting_.store(waiting); }
    bool finderWaiting() const { return finderWaiting_.load(); }
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
        if (event.extraInfo == ports::kOwnInputMarker) return false;
        std::shared_ptr<const KeyIndex> index = index_.load();
        // Only the first event after the Key Finder starts waiting is caught.
        bool finderTookIt = finderWaiting_.load() && finderWaiting_.exchange(false);
        bool swallow = classify(*index, event, finderTookIt, isDown);
        if (swallow) {
            queue_.push(event);
            if (!wakePending_.exchange(true)) wake_.wake();
        }
        return swallow;
    }

    std::uint64_t droppedEvents() const { return queue_.dropped(); }

  private:
    std::atomic<std::shared_ptr<const KeyIndex>> index_;
    std::atomic<bool> finderWaiting_{false};
    Wake& wake_;
    std::uint64_t publications_ = 0; // UI thread only
    std::atomic<bool> wakePending_{false};
    EventQueue<KeyEvent, kQueueCapacity> queue_;
};

} // namespace omnitap
