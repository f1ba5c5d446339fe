#pragma once
// Round half to even, as the classic runtime's integer conversion does: keys.ini's numbers
// are read so, and the volume's percentages follow the same rule.

#include <cmath>

namespace omnitap {

inline double roundHalfEven(double value) {
    if (!std::isfinite(value)) return value;
    double floor = std::floor(value);
    double diff = value - floor;
    if (diff > 0.5) return floor + 1;
    if (diff < 0.5) return floor;
    return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

} // namespace omnitap
