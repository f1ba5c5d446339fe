#pragma once
// Master volume and mute (modMIXER). The mixer asks its backends in order of preference and
// keeps the first that opens, until a backend reports that the system's default playback
// device changed: then it chooses again from the top, so the keys act on the device the
// taskbar's speaker shows. Without a device (a headset that connects after log-on) it looks
// again whenever a volume key needs one. A device that stops answering without a notice (the
// audio service restarted, the driver reinstalled) is opened afresh once, and the call that
// failed is made again. Every operation is safe without one: volume and mute then do nothing,
// read 0 and "not muted", and never fail the program.

#include "ports/volume_backend.h"
#include "volume/volume_control.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace omnitap {

using ports::VolumeBackends;

class Mixer final : public VolumeControl {
  public:
    // `candidates` in order of preference; null entries are skipped.
    explicit Mixer(VolumeBackends candidates);

    // Opens the first candidate that has a device, then reads the state.
    void openMixer() override;

    // Writes the percentage (held to 0..100), then reads the state back.
    void setVolume(std::int32_t percentage);
    // True only when the mute switch answers 1.
    bool getMute();
    // Writes the switch, then reads the state back.
    void setMute(bool state) override;

    void refreshMixerState() override;
    // Reads the volume back and writes it moved by `volumeStep`, held to 0..100. The base is
    // what the device answers, not what was last asked for, so a driver with coarser steps
    // still moves on. Nothing is written when the volume could not be read.
    void stepVolume(std::int32_t volumeStep) override;

    std::int32_t currentVolume() const { return currentVolume_; }
    // The last refresh could read the volume.
    bool volumeKnown() const { return volumeKnown_; }
    bool currentMute() const override { return currentMute_; }

    // The backend in use, or null.
    const ports::VolumeBackend* activeBackend() const { return active_; }

  private:
    // Follows a change of the default device and opens one where there is none yet: the
    // start of every refresh, and so of every key's action.
    void findDevice();
    std::optional<std::int32_t> readVolume();
    // `call` on the backend in use; when it fails, the backends are chosen again from the top
    // and `call` is made once more, on whichever answers now.
    template <typename Call> auto reopenedOnFailure(Call call);

    VolumeBackends candidates_;
    ports::VolumeBackend* active_ = nullptr;
    std::int32_t currentVolume_ = 0;
    bool currentMute_ = false;
    bool volumeKnown_ = false; // the last refresh could read the volume
};

} // namespace omnitap
