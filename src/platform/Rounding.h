// Kestrova — identity photo maker.
#pragma once

#include <cmath>

/// Rounds to the nearest integer, halves to even (banker's rounding), as every
/// twips and quality conversion of the program does.
[[nodiscard]] inline double roundHalfEven(double value)
{
    // std::nearbyint follows the current rounding mode, which is
    // round-to-nearest-even unless someone changed it; do not rely on that.
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff > 0.5) {
        return floor + 1.0;
    }
    if (diff < 0.5) {
        return floor;
    }
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}
