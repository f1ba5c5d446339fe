#pragma once
// How a call into the system went: done, or not done and why, in the system's words.

#include <cstdint>
#include <string>

namespace omnitap::ports {

struct Result {
    bool ok = true;
    std::string error;      // the system's reason when !ok
    std::uint32_t code = 0; // the system's error code when !ok, where it gave one
    bool held = false;      // another program holds the file for now (a virus scanner, say)
};

} // namespace omnitap::ports
