#include "volume/mixer.h"

#include "volume/volume_arithmetic.h"

#include <utility>

namespace omnitap {
namespace {

// The switch's value that means muted; anything else a driver answers counts as not muted.
constexpr std::int32_t kMutedValue = 1;

} // namespace

Mixer::Mixer(VolumeBackends candidates) : candidates_(std::move(candidates)) {}

void Mixer::openMixer() {
    refreshMixerState();
}

void Mixer::findDevice() {
    // Every backend is asked, so that no report is left over for later.
    bool changed = false;
    for (auto& candidate : candidates_)
        if (candidate && candidate->takeDeviceChange()) changed = true;
    if (active_ && !changed) return;
    active_ = nullptr;
    for (auto& candidate : candidates_) {
        if (candidate && candidate->open()) {
            active_ = candidate.get();
            return;
        }
    }
}

template <typename Call> auto Mixer::reopenedOnFailure(Call call) {
    auto result = call();
    if (result || !active_) return result;
    active_ = nullptr;
    findDevice();
    return active_ ? call() : result;
}

std::optional<std::int32_t> Mixer::readVolume() {
    if (!active_) return std::nullopt;
    auto raw = active_->readVolume();
    if (!raw) return std::nullopt;
    return volumePercentage(*raw, active_->volumeRange());
}

void Mixer::setVolume(std::int32_t percentage) {
    if (!active_) return;
    // The range is the one of the backend that answers, which may be another after a reopening.
    reopenedOnFailure([&] {
        auto raw = volumeRaw(percentage, active_->volumeRange());
        return raw && active_->writeVolume(*raw);
    });
    refreshMixerState();
}

bool Mixer::getMute() {
    if (!active_) return false;
    return active_->readMute() == kMutedValue;
}

void Mixer::setMute(bool state) {
    if (!active_) return;
    reopenedOnFailure([&] { return active_->writeMute(state); });
    refreshMixerState();
}

void Mixer::refreshMixerState() {
    findDevice();
    // The volume is read at the start of every key's action: a device that stopped answering
    // is found here. A missing mute switch is no sign of one.
    auto volume = reopenedOnFailure([this] { return readVolume(); });
    volumeKnown_ = volume.has_value();
    currentVolume_ = volume.value_or(0);
    currentMute_ = getMute();
}

void Mixer::stepVolume(std::int32_t volumeStep) {
    refreshMixerState();
    // Stepping from a volume that could not be read would start from 0 and throw the real
    // volume away.
    if (!volumeKnown_) return;
    setVolume(steppedVolume(currentVolume_, volumeStep));
}

} // namespace omnitap
