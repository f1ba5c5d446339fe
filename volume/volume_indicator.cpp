#include "volume/volume_indicator.h"

namespace omnitap {

IndicatorView indicatorView(const Mixer& mixer) {
    if (!mixer.activeBackend()) return {"No audio device", std::nullopt};
    if (mixer.currentMute()) return {"Muted", std::nullopt};
    if (!mixer.volumeKnown()) return {"No audio device", std::nullopt};
    return {"Volume " + std::to_string(mixer.currentVolume()) + " %", mixer.currentVolume()};
}

ShownVolume::ShownVolume(Mixer& mixer, ports::IndicatorWindow& window,
                         std::unique_ptr<ui::Timer> hide)
    : mixer_(mixer), window_(window), hide_(std::move(hide)) {
    hide_->setInterval(kShownMs);
    hide_->onTimer = [this] {
        hide_->setEnabled(false);
        window_.hide();
    };
}

void ShownVolume::setMute(bool state) {
    mixer_.setMute(state);
    show();
}

void ShownVolume::stepVolume(std::int32_t volumeStep) {
    mixer_.stepVolume(volumeStep);
    show();
}

void ShownVolume::show() {
    IndicatorView view = indicatorView(mixer_);
    window_.show(view.text, view.level);
    // The time counts from the last change.
    hide_->setEnabled(false);
    hide_->setEnabled(true);
}

} // namespace omnitap
