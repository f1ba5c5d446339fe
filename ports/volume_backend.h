#pragma once
// The system's master volume and mute as the mixer logic sees them: a volume control with a
// whole-number range, and a mute switch. The arithmetic (percentages, clamping, what counts
// as muted) lives in volume/; a backend only converts and calls.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace omnitap::ports {

// The volume control's lowest and highest raw value, in the device's own units (the legacy
// mixer counts in whole steps, the endpoint in a level from 0.0 to 1.0). A control that is
// missing reads 0..0.
struct VolumeRange {
    double minimum = 0;
    double maximum = 0;
    bool wholeNumbers = true; // the control takes whole raw values only
};

class VolumeBackend {
  public:
    virtual ~VolumeBackend() = default;
    // Finds the current default device and its controls; false when there is none or it
    // refuses. Called on the UI thread before any other call, and again whenever the mixer
    // looks for its device afresh (none was found yet, or the default device changed).
    virtual bool open() = 0;
    // True once after the system's default playback device changed since the last call (a
    // headset plugged in, another device chosen); the system may report it on any thread.
    // A backend that cannot tell answers false.
    virtual bool takeDeviceChange() = 0;
    virtual VolumeRange volumeRange() const = 0;
    // The volume control's raw value; nothing when the control is missing or the read fails.
    virtual std::optional<double> readVolume() = 0;
    // True when the device took the value, which lies within the range.
    virtual bool writeVolume(double raw) = 0;
    // The mute switch's raw value as the device answers it (1 = muted); nothing on failure.
    virtual std::optional<std::int32_t> readMute() = 0;
    virtual bool writeMute(bool muted) = 0;
};

// Candidate backends, in order of preference.
using VolumeBackends = std::vector<std::unique_ptr<VolumeBackend>>;

} // namespace omnitap::ports
