#pragma once
// Keystrokes that Omnitap synthesises itself carry this value in their extra information, so
// that its own keyboard hook passes them on unexamined.

#include <cstdint>

namespace omnitap::ports {

inline constexpr std::uintptr_t kOwnInputMarker = 0x4F4D4E49; // "OMNI"

} // namespace omnitap::ports
