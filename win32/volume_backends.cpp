#include "win32/volume_backends.h"

#include "win32/core_audio_volume.h"
#include "win32/legacy_mixer_volume.h"

namespace omnitap::win32 {

ports::VolumeBackends systemVolumeBackends() {
    ports::VolumeBackends backends;
    backends.push_back(std::make_unique<CoreAudioVolume>());
    backends.push_back(std::make_unique<LegacyMixerVolume>());
    return backends;
}

} // namespace omnitap::win32
