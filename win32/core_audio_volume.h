#pragma once
// The master volume and mute of the default render endpoint, through Core Audio (Windows Vista
// and later). This is the volume the taskbar's speaker icon shows. The system tells the
// backend when the default device changes; the mixer then opens it afresh.

#include "ports/volume_backend.h"

#include <memory>

namespace omnitap::win32 {

class CoreAudioVolume final : public ports::VolumeBackend {
  public:
    CoreAudioVolume();
    ~CoreAudioVolume() override;
    CoreAudioVolume(const CoreAudioVolume&) = delete;
    CoreAudioVolume& operator=(const CoreAudioVolume&) = delete;

    // Enters a single-threaded COM apartment on the calling thread (the UI thread) for the
    // object's lifetime; later calls must come from the same thread. Each call takes the
    // default device as it is now.
    bool open() override;
    bool takeDeviceChange() override;
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
