#pragma once
// The key index that the hook thread reads, published by the UI thread. The hook thread never
// frees one and never waits: it announces the index it reads, and the UI thread frees a
// replaced index only once the hook thread announces another. The announcement stays until
// the hook thread sees a new index, so an unchanged index costs the hook one load per event.
//
// Why this is safe under the C++ memory model: the hook thread's store to `reading_` (R) and
// every load of `current_` (C) are sequentially consistent, as are the UI thread's store to
// `current_` (P, replacing p) and its load of `reading_` (L); so they fall into one total
// order. The hook uses p only after some C gave p while `reading_` held p, stored by an R
// before that C. The UI frees p only after an L that does not give p. Suppose both: C gave
// p, so C comes before P (a later C reads P's value or a later one); hence R, C, P, L in this
// order. L reads R or a later store to `reading_`; not R, since L did not give p; so a later
// one, which the hook thread makes only after it is done with p, and which L synchronises
// with: the use of p happens before the free. An address reused for a new index is harmless:
// the announcement is of the address, and it protects whatever lives there now.

#include "hook/key_index.h"

#include <atomic>
#include <memory>
#include <vector>

namespace omnitap {

class IndexSnapshots {
    static_assert(std::atomic<const KeyIndex*>::is_always_lock_free);

  public:
    IndexSnapshots() : owned_(std::make_unique<const KeyIndex>()), current_(owned_.get()) {}

    // UI thread: the hook reads `index` from its next event on.
    void publish(std::unique_ptr<const KeyIndex> index) {
        retired_.push_back(std::move(owned_));
        owned_ = std::move(index);
        current_.store(owned_.get());
        reclaim();
    }
    // UI thread: frees the replaced indexes that the hook thread is not reading.
    void reclaim() {
        const KeyIndex* reading = reading_.load();
        std::erase_if(retired_, [reading](const auto& index) { return index.get() != reading; });
    }
    std::size_t retired() const { return retired_.size(); }
    // UI thread: the index published last.
    const KeyIndex& current() const { return *owned_; }

    // Hook thread: the current index, announced as read until the hook thread reads another.
    const KeyIndex& read() {
        const KeyIndex* index = current_.load();
        while (index != announced_) {
            reading_.store(index);
            announced_ = index;
            index = current_.load();
        }
        return *index;
    }

  private:
    std::unique_ptr<const KeyIndex> owned_; // UI thread
    std::atomic<const KeyIndex*> current_;
    std::atomic<const KeyIndex*> reading_{nullptr};
    const KeyIndex* announced_ = nullptr;                  // hook thread
    std::vector<std::unique_ptr<const KeyIndex>> retired_; // UI thread
};

} // namespace omnitap
