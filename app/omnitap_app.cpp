#include "app/omnitap_app.h"

#include "win32/volume_backends.h"

namespace omnitap::win32 {

OmnitapApp::OmnitapApp()
    : program_(Seams{fileSystem_, codec_, messages_, appInfo_, shell_, messaging_, clipboard_,
                     typing_, trayShell_, ui_, hook_, copies_, startup_, indicator_, sessionEnd_},
               channel_, systemVolumeBackends()) {}

} // namespace omnitap::win32
