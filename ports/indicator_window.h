#pragma once
// The small window that shows the volume near the notification area after a key changed it.
// It never takes the focus or the keyboard, stays above other windows, and lets clicks
// through to what lies below.

#include <cstdint>
#include <optional>
#include <string>

namespace omnitap::ports {

class IndicatorWindow {
  public:
    virtual ~IndicatorWindow() = default;
    // Shows `text` and, when there is one, `level` (0..100) as a bar, on the monitor the
    // pointer is on; while shown, it changes in place.
    virtual void show(const std::string& text, std::optional<std::int32_t> level) = 0;
    virtual void hide() = 0;
};

} // namespace omnitap::ports
