#pragma once
// The hand-off from the hook thread to the UI thread: a fixed ring for one producer and one
// consumer, allocated once on the heap. Pushing never blocks and never allocates; a full ring
// refuses the event and counts it. Only the producer adds, so room it sees stays until it
// pushes.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

namespace omnitap {

template <typename T, std::size_t Capacity> class EventQueue {
    static_assert((Capacity & (Capacity - 1)) == 0, "capacity must be a power of two");

  public:
    EventQueue() : items_(std::make_unique<T[]>(Capacity)) {}

    // Hook thread.
    bool hasRoom() const {
        return tail_.load(std::memory_order_relaxed) - head_.load(std::memory_order_acquire) !=
               Capacity;
    }
    // Hook thread: counts an item that was not pushed for want of room.
    void refuse() {
        dropped_.store(dropped_.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
    }
    bool push(const T& item) {
        if (!hasRoom()) {
            refuse();
            return false;
        }
        std::size_t tail = tail_.load(std::memory_order_relaxed);
        items_[tail & (Capacity - 1)] = item;
        tail_.store(tail + 1, std::memory_order_release);
        return true;
    }

    // UI thread.
    std::optional<T> pop() {
        std::size_t head = head_.load(std::memory_order_relaxed);
        if (head == tail_.load(std::memory_order_acquire)) return std::nullopt;
        T item = items_[head & (Capacity - 1)];
        head_.store(head + 1, std::memory_order_release);
        return item;
    }

    std::uint64_t dropped() const { return dropped_.load(std::memory_order_relaxed); }

  private:
    std::unique_ptr<T[]> items_;
    alignas(64) std::atomic<std::size_t> head_{0};
    alignas(64) std::atomic<std::size_t> tail_{0};
    std::atomic<std::uint64_t> dropped_{0};
};

} // namespace omnitap
