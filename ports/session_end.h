#pragma once
// Holding up the end of the session (a log-off, a shut-down, an update's restart) while the
// user is asked about work not saved: the system shows the reason beside the window's title.

#include "ports/window_id.h"

#include <string>

namespace omnitap::ports {

class SessionEnd {
  public:
    virtual ~SessionEnd() = default;
    // Says why `window` holds up the end of the session, until allow().
    virtual void holdUp(WindowId window, const std::string& reason) = 0;
    virtual void allow(WindowId window) = 0;
};

} // namespace omnitap::ports
