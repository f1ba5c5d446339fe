#pragma once
// Volume as a whole percentage of a control's range, and the conversions both volume
// backends share. Every result stays within 0..100 (or within the range), whatever a driver
// answers, and a range with nothing in it gives no answer at all instead of a division by
// zero.

#include "platform/volume_backend.h"

#include <cstdint>
#include <optional>

namespace omnitap {

// The percentage a raw value stands for: offset / span x 100, halves to the even neighbour,
// clamped to 0..100. Nothing when the range is empty or upside down.
std::optional<std::int32_t> volumePercentage(std::int64_t raw, platform::VolumeRange range);

// The raw value for a percentage (clamped to 0..100 first): minimum + percentage / 100 x span,
// halves to even. Nothing when the range is empty or upside down.
std::optional<std::int64_t> volumeRaw(std::int32_t percentage, platform::VolumeRange range);

// The target of one step from the volume just read: current + step, held to 0..100.
std::int32_t steppedVolume(std::int32_t current, std::int32_t step);

// The endpoint volume is a level from 0.0 to 1.0. It is shown to the arithmetic as a control
// of 0..100 whose raw value is level x 100, halves to even, so that the percentage is the
// level's own and a written percentage is the level exactly.
inline constexpr platform::VolumeRange kScalarRange{0, 100};
std::int64_t scalarToRaw(double level);
float rawToScalar(std::int64_t raw);

} // namespace omnitap
