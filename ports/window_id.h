#pragma once
// Windows and places on the screen as the portable code knows them.

#include <cstdint>

namespace omnitap::ports {

// A window as the portable code knows it: the system's handle as a number, 0 = none.
using WindowId = std::uintptr_t;

// Places on the screen, in pixels of the virtual screen.
struct ScreenPoint {
    int x = 0, y = 0;
    bool operator==(const ScreenPoint&) const = default;
};
struct ScreenRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const ScreenRect&) const = default;
};

// The window that owns what the program opens (launched programs, Explorer, the clipboard's
// text): the hidden control window.
class OwnerWindow {
  public:
    virtual ~OwnerWindow() = default;
    virtual WindowId ownerWindow() const = 0;
};

} // namespace omnitap::ports
