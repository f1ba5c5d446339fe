#include "volume/volume_indicator.h"

namespace omnitap {

IndicatorView indicatorView(const Mixer& mixer) {
    if (!mixer.activeBackend()) return {"No audio device", std::nullopt};
    if (mixer.currentMute()) return {"Muted", std::nullopt};
    if (!mixer.volumeKnown()) return {"No audio device", std::nullopt};
    return {"Volume " + std::to_string(mixer.currentVolume()) + " %", mixer.currentVolume()};
}

ports::ScreenRect indicatorPlace(const ports::Monitor& monitor) {
    auto px = [&](int at96) {
        return static_cast<int>((at96 * std::int64_t{monitor.dpi} + 48) / 96);
    };
    const int width = px(220), height = px(64), margin = px(12);
    const ports::ScreenRect& work = monitor.work;
    const bool taskbarLeft = work.left > monitor.bounds.left;
    const bool taskbarTop = work.top > monitor.bounds.top;
    const int x = taskbarLeft ? work.left + margin : work.right - width - margin;
    const int y = taskbarTop ? work.top + margin : work.bottom - height - margin;
    return {x, y, x + width, y + height};
}

ShownVolume::ShownVolume(Mixer& mixer, ports::IndicatorWindow& window,
                         std::unique_ptr<ui::Timer> hide)
    : mixer_(mixer), window_(window), hide_(std::move(hide)) {
    hide_->setInterval(kShownMs);
    hide_->onTimer = [this] {
        hide_->setEnabled(false);
        window_.hide();
        up_ = false;
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
    if (!up_) {
        // The taskbar may have moved, or Explorer gone, since the last time.
        std::optional<ports::Monitor> monitor = window_.taskbarMonitor();
        if (!monitor) monitor = window_.primaryMonitor();
        window_.place(indicatorPlace(*monitor), monitor->dpi);
    }
    IndicatorView view = indicatorView(mixer_);
    window_.show(view.text, view.level);
    up_ = true;
    // The time counts from the last change.
    hide_->setEnabled(false);
    hide_->setEnabled(true);
}

} // namespace omnitap
