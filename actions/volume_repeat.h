#pragma once
// A volume key steps the volume on the control window's timer while it is held, and only the
// release of a learned key ended that, so a release the hook never saw (made on the lock
// screen, in a UAC prompt, while the hook was gone, or with the queue full) left the volume
// running to 0 or 100 %. A key held down repeats on its own, first after the keyboard's delay,
// then at its rate: once it has not repeated for that long and a margin, it is no longer
// held, whatever became of its release.

#include "ports/typing.h"

#include <algorithm>
#include <cstdint>

namespace omnitap {

class VolumeRepeat {
  public:
    static constexpr std::uint32_t kTickMs = 200; // the timer's interval
    static constexpr std::uint32_t kMarginMs = 250;

    // A volume key was pressed; `presses` counts its presses so far (the hook's count).
    void start(std::uint32_t vkCode, std::uint32_t scanCode, std::uint32_t presses,
               ports::Typing::RepeatSettings settings) {
        vkCode_ = vkCode;
        scanCode_ = scanCode;
        presses_ = presses;
        repeated_ = false;
        silentMs_ = 0;
        // The delay's steps are a quarter second; the rates run evenly from 2.5 to 30 a second:
        // 1000 / (2.5 + speed * 27.5 / 31) milliseconds apart.
        delayMs_ = 250 * (std::min(settings.delay, 3u) + 1);
        periodMs_ = 62000 / (155 + 55 * std::min(settings.speed, 31u));
    }
    std::uint32_t vkCode() const { return vkCode_; }
    std::uint32_t scanCode() const { return scanCode_; }

    // A tick of the timer, with the key's presses counted so far: whether it is still held.
    bool tick(std::uint32_t presses) {
        if (presses != presses_) {
            presses_ = presses;
            repeated_ = true;
            silentMs_ = 0;
            return true;
        }
        silentMs_ += kTickMs;
        return silentMs_ <= (repeated_ ? periodMs_ : delayMs_) + kMarginMs;
    }

  private:
    std::uint32_t vkCode_ = 0, scanCode_ = 0, presses_ = 0, silentMs_ = 0;
    std::uint32_t delayMs_ = 0, periodMs_ = 0;
    bool repeated_ = false;
};

} // namespace omnitap
