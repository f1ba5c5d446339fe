#include "tests/fakes/volume_fakes.h"

#include <cmath>

namespace omnitap::fakes {

bool FakeVolumeBackend::open() {
    ++opens;
    return hasDevice;
}

bool FakeVolumeBackend::writeVolume(double raw) {
    volumeWrites.push_back(raw);
    if (!volumeWritable || !volume) return false;
    double steps = std::floor((raw - range.minimum + granularity / 2) / granularity);
    volume = range.minimum + steps * granularity;
    return true;
}

bool FakeVolumeBackend::writeMute(bool muted) {
    muteWrites.push_back(muted);
    if (!mute) return false;
    mute = muted ? 1 : 0;
    return true;
}

} // namespace omnitap::fakes
