#pragma once
// Keystrokes that Omnitap synthesises itself carry one of these values in their extra
// information, so that its own keyboard hook passes them on unexamined: text and keys it
// types, and the user's keys that it held back and sends on (which the hook counts as they
// come back), and the no-op key that asks whether the hook is still in place.

#include <cstdint>

namespace omnitap::ports {

inline constexpr std::uintptr_t kOwnInputMarker = 0x4F4D4E49;  // "OMNI"
inline constexpr std::uintptr_t kHeldKeyMarker = 0x4F4D4E48;   // "OMNH"
inline constexpr std::uintptr_t kHookProbeMarker = 0x4F4D4E50; // "OMNP"

} // namespace omnitap::ports
