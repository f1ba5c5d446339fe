#pragma once
// Volume as a whole percentage of a control's range, and the conversions both volume
// backends share. Every result stays within 0..100 (or within the range), whatever a driver
// answers, and a range with nothing in it gives no answer at all instead of a division by
// zero.

#include "ports/volume_backend.h"

#include <cstdint>
#include <optional>

namespace omnitap {

// The percentage a raw value stands for: offset / span x 100, halves to the even neighbour,
// clamped to 0..100. Nothing when the range is empty or upside down.
std::optional<std::int32_t> volumePercentage(double raw, ports::VolumeRange range);

// The raw value for a percentage (clamped to 0..100 first): minimum + percentage / 100 x span,
// halves to even where the control takes whole numbers only. Nothing when the range is empty
// or upside down.
std::optional<double> volumeRaw(std::int32_t percentage, ports::VolumeRange range);

// The target of one step from the volume just read: current + step, held to 0..100.
std::int32_t steppedVolume(std::int32_t current, std::int32_t step);

} // namespace omnitap
