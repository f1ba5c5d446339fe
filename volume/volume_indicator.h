#pragma once
// The volume keys' control: the mixer, and after every change the indicator near the
// notification area, so that a change is seen (the system shows its own only for the
// keyboard's volume keys). A held key keeps one indicator up, updated; it hides about 1.5 s
// after the last change.

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
};

} // namespace omnitap
