#pragma once
// The key index that the hook thread reads, published by the UI thread. The hook thread never
// frees one and never waits: it announces the index it is reading, and the UI thread frees a
// replaced index only once the hook thread no longer announces it.
//
// Why this is safe under the C++ memory model: every access to `current_` and `reading_` is
// sequentially consistent, so all of them fall into one total order. The hook thread stores
// `reading_ = p` (R) and then loads `current_` again (C); it uses p only when C still gives
// p. The UI thread replaces p by storing `current_` (P) and frees p only after a load of
// `reading_` (L) that does not give p. Suppose the hook uses p and the UI frees it: C gave p,
// so C comes before P, and R before C, P before L. L then reads R or a later store of the
// hook thread to `reading_`. Not R, since L did not give p; so a later one, which the hook
// makes only after it is done with p, and which L synchronises with: the use of p happens
// before the free. A contradiction either way.

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

    // Hook thread: the current index, announced as read until the reader ends.
    class Reader {
      public:
        explicit Reader(IndexSnapshots& snapshots) : reading_(snapshots.reading_) {
            const KeyIndex* index = snapshots.current_.load();
            for (;;) {
                reading_.store(index);
                const KeyIndex* again = snapshots.current_.load();
                if (again == index) break;
                index = again;
            }
            index_ = index;
        }
        ~Reader() { reading_.store(nullptr); }
        Reader(const Reader&) = delete;
        Reader& operator=(const Reader&) = delete;
        const KeyIndex& operator*() const { return *index_; }

      private:
        std::atomic<const KeyIndex*>& reading_;
        const KeyIndex* index_ = nullptr;
    };

  private:
    std::unique_ptr<const KeyIndex> owned_; // UI thread
    std::atomic<const KeyIndex*> current_;
    std::atomic<const KeyIndex*> reading_{nullptr};
    std::vector<std::unique_ptr<const KeyIndex>> retired_; // UI thread
};

} // namespace omnitap
