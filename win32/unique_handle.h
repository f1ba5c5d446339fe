#pragma once
// Every handle has an owner: Unique<Handle, &Close> closes it on every path. `Invalid` gives
// the value that means "no handle" (null unless said otherwise). Named functions, not
// lambdas, so that the same Unique type named in two files is one type.

#include <utility>

namespace omnitap::win32 {

template <typename Handle> constexpr Handle nullHandle() {
    return Handle{};
}

template <typename Handle, auto Close, auto Invalid = &nullHandle<Handle>> class Unique {
  public:
    Unique() = default;
    explicit Unique(Handle h) : h_(h) {}
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    Unique(Unique&& other) noexcept : h_(std::exchange(other.h_, Invalid())) {}
    Unique& operator=(Unique&& other) noexcept {
        if (this != &other) reset(std::exchange(other.h_, Invalid()));
        return *this;
    }
    ~Unique() { reset(); }

    Handle get() const { return h_; }
    explicit operator bool() const { return h_ != Invalid(); }
    Handle release() { return std::exchange(h_, Invalid()); }
    void reset(Handle h = Invalid()) {
        if (h_ != Invalid()) Close(h_);
        h_ = h;
    }

  private:
    Handle h_ = Invalid();
};

} // namespace omnitap::win32
