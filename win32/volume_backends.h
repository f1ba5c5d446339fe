#pragma once
// The system's volume backends for the Mixer, in order of preference.

#include "ports/volume_backend.h"

namespace omnitap::win32 {

// The endpoint volume first: from Windows Vista on it is the master volume, while the legacy
// mixer's speakers controls only reach this program's own audio session. The legacy mixer of
// device 0 serves where Core Audio is missing or has no playback device.
ports::VolumeBackends systemVolumeBackends();

} // namespace omnitap::win32
