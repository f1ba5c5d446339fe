#pragma once
// The version the user sees, said by the tray menu and the About box.

#include <string>

namespace omnitap {

// "Omnitap, version 1.1.0"
inline std::string versionText() {
    return "Omnitap, version " + std::to_string(OMNITAP_VERSION_MAJOR) + "." +
           std::to_string(OMNITAP_VERSION_MINOR) + "." + std::to_string(OMNITAP_VERSION_PATCH);
}

} // namespace omnitap
