#pragma once
// The volume keys' control: the mixer, and after every change the indicator by the
// notification area, where the system shows its own for the keyboard's volume keys (whichever
// monitor the pointer is on). A held key keeps one indicator up, updated, where it is; it
// hides about 1.5 s after the last change.

#include "ports/indicator_window.h"
#include "ports/ui.h"
#include "volume/mixer.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace omnitap {

// What the indicator shows: "Volume 45 %" with the level as a bar, "Muted", or "No audio
// device" (also for a device whose volume cannot be read).
struct IndicatorView {
    std::string text;
    std::optional<std::int32_t> level;
    bool operator==(const IndicatorView&) const = default;
};
IndicatorView indicatorView(const Mixer& mixer);

// Where the indicator goes on `monitor`: 220 x 64 pixels at 96 dpi, scaled for the monitor's,
// 12 in from the corner of the work area by the notification area, which sits at the right
// end of a taskbar along the top or the bottom and at the bottom end of one along a side. The
// taskbar is on the side where the work area leaves room; the bottom, when it leaves none.
ports::ScreenRect indicatorPlace(const ports::Monitor& monitor);

class ShownVolume final : public VolumeControl {
  public:
    static constexpr int kShownMs = 1500;

    ShownVolume(Mixer& mixer, ports::IndicatorWindow& window, std::unique_ptr<ui::Timer> hide);

    void openMixer() override { mixer_.openMixer(); }
    void refreshMixerState() override { mixer_.refreshMixerState(); }
    bool currentMute() const override { return mixer_.currentMute(); }
    void setMute(bool state) override;
    void stepVolume(std::int32_t volumeStep) override;

  private:
    void show();

    Mixer& mixer_;
    ports::IndicatorWindow& window_;
    std::unique_ptr<ui::Timer> hide_;
    bool up_ = false; // shown, and not hidden since
};

} // namespace omnitap
