#pragma once
// The version the user sees and the maker's web site, said by the tray menu, the About box
// and the welcome text.

#include <string>

namespace omnitap {

inline constexpr const char* kWebSite = "https://omnitap.example.org";

// "Omnitap, version 1.1.0"
inline std::string versionText() {
    return "Omnitap, version " + std::to_string(OMNITAP_VERSION_MAJOR) + "." +
           std::to_string(OMNITAP_VERSION_MINOR) + "." + std::to_string(OMNITAP_VERSION_PATCH);
}

} // namespace omnitap
