#pragma once
// The volume and mute controls of the speakers line of mixer device 0, through the multimedia
// mixer. On Windows Vista and later these controls belong to the calling program's own audio
// session, not to the master volume; the endpoint volume is preferred wherever it exists.

#include "ports/volume_backend.h"

#include <memory>

namespace omnitap::win32 {

class LegacyMixerVolume final : public ports::VolumeBackend {
  public:
    LegacyMixerVolume();
    ~LegacyMixerVolume() override; // closes the mixer
    LegacyMixerVolume(const LegacyMixerVolume&) = delete;
    LegacyMixerVolume& operator=(const LegacyMixerVolume&) = delete;

    // True when device 0 opens, even if the speakers line or a control is missing: each
    // control then simply does nothing.
    bool open() override;
    // The mixer's device 0 is whatever the system maps it to; it reports no changes.
    bool takeDeviceChange() override { return false; }
    ports::VolumeRange volumeRange() const override;
    std::optional<double> readVolume() override;
    bool writeVolume(double raw) override;
    std::optional<std::int32_t> readMute() override;
    bool writeMute(bool muted) override;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace omnitap::win32
