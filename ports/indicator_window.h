#pragma once
// The small window that shows the volume near the notification area after a key changed it.
// It never takes the focus or the keyboard, stays above other windows, and lets clicks
// through to what lies below.

#include "ports/window_id.h"

#include <cstdint>
#include <optional>
#include <string>

namespace omnitap::ports {

// One monitor: all of it, the part the taskbar leaves to windows, and its DPI.
struct Monitor {
    ScreenRect bounds;
    ScreenRect work;
    std::uint32_t dpi = 96;
};

class IndicatorWindow {
  public:
    virtual ~IndicatorWindow() = default;
    // The monitor of the taskbar that holds the notification area; nothing without one.
    virtual std::optional<Monitor> taskbarMonitor() = 0;
    virtual Monitor primaryMonitor() = 0;
    // Moves the window to `where`, drawn for `dpi`; it shows there when next shown.
    virtual void place(const ScreenRect& where, std::uint32_t dpi) = 0;
    // Shows `text` and, when there is one, `level` (0..100) as a bar; while shown, it changes
    // in place.
    virtual void show(const std::string& text, std::optional<std::int32_t> level) = 0;
    virtual void hide() = 0;
};

} // namespace omnitap::ports
