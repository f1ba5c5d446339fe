#pragma once
// A volume device in memory: a range, a raw volume, a mute switch, the ways real drivers let
// a program down (no device, missing controls, failed reads), and the system's report that
// the default device changed.

#include "ports/volume_backend.h"

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace omnitap::fakes {

class FakeVolumeBackend : public ports::VolumeBackend {
  public:
    bool hasDevice = true;      // open() finds one
    bool deviceChanged = false; // the system's report of a new default device, taken once
    ports::VolumeRange range{0, 65535};
    std::optional<double> volume = 0;     // nothing: the control is missing or cannot be read
    std::optional<std::int32_t> mute = 0; // nothing: there is no mute switch
    int opens = 0;
    std::vector<double> volumeWrites; // every value asked for
    std::vector<bool> muteWrites;

    bool open() override { return ++opens, hasDevice; }
    bool takeDeviceChange() override { return std::exchange(deviceChanged, false); }
    ports::VolumeRange volumeRange() const override { return range; }
    std::optional<double> readVolume() override { return volume; }
    bool writeVolume(double raw) override {
        volumeWrites.push_back(raw);
        return volume && (volume = raw);
    }
    std::optional<std::int32_t> readMute() override { return mute; }
    bool writeMute(bool muted) override {
        muteWrites.push_back(muted);
        return mute && (mute = muted ? 1 : 0);
    }
};

} // namespace omnitap::fakes
