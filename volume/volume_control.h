#pragma once
// Master volume and mute as the key handling sees them; volume/mixer.h is the real one.

#include <cstdint>

namespace omnitap {

class VolumeControl {
  public:
    virtual ~VolumeControl() = default;
    virtual void openMixer() = 0;
    virtual void refreshMixerState() = 0;
    virtual bool currentMute() const = 0;
    virtual void setMute(bool state) = 0;
    // Applies `volumeStep` percentage points once to the volume just read back.
    virtual void stepVolume(std::int32_t volumeStep) = 0;
};

} // namespace omnitap
