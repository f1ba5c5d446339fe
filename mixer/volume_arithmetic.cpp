#include "mixer/volume_arithmetic.h"

#include "keyboard/lenient_number.h"

#include <algorithm>
#include <cmath>

namespace omnitap {
namespace {

constexpr std::int32_t kMinPercent = 0;
constexpr std::int32_t kMaxPercent = 100;

std::int64_t span(platform::VolumeRange range) {
    return range.maximum - range.minimum;
}

} // namespace

std::optional<std::int32_t> volumePercentage(std::int64_t raw, platform::VolumeRange range) {
    if (span(range) <= 0) return std::nullopt;
    double offset = static_cast<double>(raw) - static_cast<double>(range.minimum);
    double percentage = roundHalfEven(offset / static_cast<double>(span(range)) * 100.0);
    return static_cast<std::int32_t>(std::clamp(percentage, 0.0, 100.0));
}

std::optional<std::int64_t> volumeRaw(std::int32_t percentage, platform::VolumeRange range) {
    if (span(range) <= 0) return std::nullopt;
    double share = std::clamp(percentage, kMinPercent, kMaxPercent) / 100.0;
    double raw = roundHalfEven(static_cast<double>(range.minimum) +
                               share * static_cast<double>(span(range)));
    return std::clamp(static_cast<std::int64_t>(raw), range.minimum, range.maximum);
}

std::int32_t steppedVolume(std::int32_t current, std::int32_t step) {
    // Summed in 64 bits: the step is shared state and must not overflow whatever it holds.
    std::int64_t target = std::int64_t{current} + step;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(target, kMinPercent, kMaxPercent));
}

std::int64_t scalarToRaw(double level) {
    if (std::isnan(level)) return kScalarRange.minimum;
    double clamped = std::clamp(level, 0.0, 1.0);
    return static_cast<std::int64_t>(
        roundHalfEven(clamped * static_cast<double>(kScalarRange.maximum)));
}

float rawToScalar(std::int64_t raw) {
    std::int64_t clamped = std::clamp(raw, kScalarRange.minimum, kScalarRange.maximum);
    return static_cast<float>(static_cast<double>(clamped) /
                              static_cast<double>(kScalarRange.maximum));
}

} // namespace omnitap
