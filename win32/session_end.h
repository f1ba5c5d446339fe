#pragma once
// The reason a window gives while it holds up the end of the session (Windows Vista and later).

#include "ports/session_end.h"

namespace omnitap::win32 {

class Win32SessionEnd final : public ports::SessionEnd {
  public:
    void holdUp(ports::WindowId window, const std::string& reason) override;
    void allow(ports::WindowId window) override;
};

} // namespace omnitap::win32
