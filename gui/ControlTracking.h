// Pieces the toolkit's two-state and position controls share while they follow the mouse.
#pragma once

#include "gui/Geometry.h"

#include <cmath>

namespace tracking {

// The other state of a two-state value: on for a value that compares equal to 0 (or is no
// number), off otherwise.
inline float flipped(float value) {
    return value == 0.0f || std::isnan(value) ? 1.0f : 0.0f;
}

// Limits a value to 0..1; a value that is no number becomes 0.
inline float clampedToUnit(float value) {
    if (value > 1.0f) {
        return 1.0f;
    }
    return value < 0.0f || std::isnan(value) ? 0.0f : value;
}

// Truncates toward zero; values beyond the integer range or no number give a safe result
// instead of undefined behaviour.
inline int truncated(double x) {
    if (std::isnan(x)) {
        return 0;
    }
    constexpr double limit = 2.0e9;
    return static_cast<int>(x > limit ? limit : (x < -limit ? -limit : x));
}

} // namespace tracking
