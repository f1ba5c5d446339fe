#pragma once
// Counts the allocations of the current thread while an AllocationCounter is alive.

#include <cstddef>

namespace omnitap {

class AllocationCounter {
  public:
    AllocationCounter();
    ~AllocationCounter();
    std::size_t count() const;
};

} // namespace omnitap
