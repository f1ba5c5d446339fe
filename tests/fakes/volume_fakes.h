#pragma once
// A volume device in memory: a range, a raw volume, a mute switch, and the ways real drivers
// let a program down (no device, missing controls, failed reads, coarse steps).

#include "ports/volume_backend.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace omnitap::fakes {

class FakeVolumeBackend : public ports::VolumeBackend {
  public:
    bool hasDevice = true;
    ports::VolumeRange range{0, 65535};
    std::optional<double> volume = 0;     // nothing: the control is missing or cannot be read
    std::optional<std::int32_t> mute = 0; // nothing: there is no mute switch
    bool volumeWritable = true;
    // The driver keeps only whole multiples of this above the minimum, rounding to the nearest.
    double granularity = 1;

    int opens = 0;
    std::vector<double> volumeWrites; // every value asked for, taken or not
    std::vector<bool> muteWrites;

    bool open() override;
    ports::VolumeRange volumeRange() const override { return range; }
    std::optional<double> readVolume() override { return volume; }
    bool writeVolume(double raw) override;
    std::optional<std::int32_t> readMute() override { return mute; }
    bool writeMute(bool muted) override;
};

} // namespace omnitap::fakes
