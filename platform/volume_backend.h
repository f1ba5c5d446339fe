#pragma once
// The system's master volume and mute as the mixer logic sees them: a volume control with a
// whole-number range, and a mute switch. The arithmetic (percentages, clamping, what counts
// as muted) lives in mixer/; a backend only converts and calls.

#include <cstdint>
#include <optional>

namespace omnitap::platform {

// The volume control's lowest and highest raw value. A control that is missing reads 0..0.
struct VolumeRange {
    std::int64_t minimum = 0;
    std::int64_t maximum = 0;
};

class VolumeBackend {
  public:
    virtual ~VolumeBackend() = default;
    // Finds the device and its controls; false when there is no device or it refuses. Called
    // once, on the UI thread, before any other call.
    virtual bool open() = 0;
    virtual VolumeRange volumeRange() const = 0;
    // The volume control's raw value; nothing when the control is missing or the read fails.
    virtual std::optional<std::int64_t> readVolume() = 0;
    // True when the device took the value.
    virtual bool writeVolume(std::int64_t raw) = 0;
    // The mute switch's raw value as the device answers it (1 = muted); nothing on failure.
    virtual std::optional<std::int32_t> readMute() = 0;
    virtual bool writeMute(bool muted) = 0;
};

} // namespace omnitap::platform
