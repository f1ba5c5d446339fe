#pragma once
#include "ports/typing.h"

#include <span>

namespace omnitap {

// What the hook thread does beyond the channel. Fixed when the channel is built; runs on the
// hook thread and must not block.
class HookOutput {
  public:
    virtual ~HookOutput() = default;
    // Tells the UI thread that events wait; false when it could not be told (its message
    // queue is full).
    virtual bool wake() = 0;
    // Sends held keys on in one batch, marked with ports::kHeldKeyMarker.
    virtual void sendOn(std::span<const ports::KeyStroke> keys) = 0;
    // Sends keys of its own in one batch, marked with ports::kOwnInputMarker, from the hook's
    // callback: they go ahead of any key that reaches the hook after this one.
    virtual void sendOwn(std::span<const ports::KeyStroke> keys) = 0;
};

} // namespace omnitap
