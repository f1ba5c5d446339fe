#include "volume/volume_arithmetic.h"

#include "base/rounding.h"

#include <algorithm>
#include <cmath>

namespace omnitap {
namespace {

constexpr std::int32_t kMinPercent = 0;
constexpr std::int32_t kMaxPercent = 100;

double span(ports::VolumeRange range) {
    return range.maximum - range.minimum;
}

} // namespace

std::optional<std::int32_t> volumePercentage(double raw, ports::VolumeRange range) {
    if (!(span(range) > 0) || std::isnan(raw)) return std::nullopt;
    double percentage = roundHalfEven((raw - range.minimum) / span(range) * 100.0);
    return static_cast<std::int32_t>(std::clamp(percentage, 0.0, 100.0));
}

std::optional<double> volumeRaw(std::int32_t percentage, ports::VolumeRange range) {
    if (!(span(range) > 0)) return std::nullopt;
    double share = std::clamp(percentage, kMinPercent, kMaxPercent) / 100.0;
    double raw = range.minimum + share * span(range);
    if (range.wholeNumbers) raw = roundHalfEven(raw);
    return std::clamp(raw, range.minimum, range.maximum);
}

std::int32_t steppedVolume(std::int32_t current, std::int32_t step) {
    // Summed in 64 bits: the step is shared state and must not overflow whatever it holds.
    std::int64_t target = std::int64_t{current} + step;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(target, kMinPercent, kMaxPercent));
}

} // namespace omnitap
