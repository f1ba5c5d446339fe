#include "tests/fakes/mixer_fakes.h"

namespace omnitap::fakes {

bool FakeVolumeBackend::open() {
    ++opens;
    return hasDevice;
}

bool FakeVolumeBackend::writeVolume(std::int64_t raw) {
    volumeWrites.push_back(raw);
    if (!volumeWritable || !volume) return false;
    std::int64_t steps = (raw - range.minimum + granularity / 2) / granularity;
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
