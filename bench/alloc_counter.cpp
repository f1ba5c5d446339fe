#include "bench/alloc_counter.h"

#include <cstdlib>
#include <new>

namespace {
thread_local bool counting = false;
thread_local std::size_t operations = 0;

void freed(void* p) noexcept {
    if (counting && p) ++operations;
    std::free(p);
}
} // namespace

void* operator new(std::size_t size) {
    if (counting) ++operations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    freed(p);
}
void operator delete(void* p, std::size_t) noexcept {
    freed(p);
}

namespace omnitap {

AllocationCounter::AllocationCounter() {
    operations = 0;
    counting = true;
}
AllocationCounter::~AllocationCounter() {
    counting = false;
}
std::size_t AllocationCounter::count() const {
    return operations;
}
void AllocationCounter::pause() {
    counting = false;
}
void AllocationCounter::resume() {
    counting = true;
}

} // namespace omnitap
