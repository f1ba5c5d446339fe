#pragma once
// Counts the allocations and frees of the current thread while an AllocationCounter is alive
// and not paused.

#include <cstddef>

namespace omnitap {

class AllocationCounter {
  public:
    AllocationCounter();
    ~AllocationCounter();
    std::size_t count() const; // allocations and frees
    void pause();
    void resume();
};

} // namespace omnitap
