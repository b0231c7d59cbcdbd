#include "midside/DecibelText.h"

#include <cmath>
#include <cstdio>

namespace {

// The single-precision 0.05 widened: added before truncating, it rounds positive levels to the
// nearest tenth (negative levels move up by up to a tenth).
constexpr double roundingOffset = 0.05000000074505806;

} // namespace

void levelToDecibelText(float value, char* text) {
    const double x = value;
    const double gain = x > 0.9 ? (x - 0.9) * 10.0 + 1.0 : x * 1.1111111111111112;
    const double decibels = 20.0 * std::log10(gain) + roundingOffset;
    // Levels beyond a thousand decibels only come from values far outside 0..1.
    if (!std::isfinite(decibels) || std::fabs(decibels) > 1000.0) {
        std::snprintf(text, 4, "-oo");
        return;
    }
    const int tenths = static_cast<int>(decibels * 10.0);
    // Written from the count of tenths so the text does not depend on the process's locale; it
    // is what "%.1f" gives for tenths x 0.1, which never prints a negative zero.
    const int magnitude = tenths < 0 ? -tenths : tenths;
    std::snprintf(text, 16, "%s%d.%ddB", tenths < 0 ? "-" : "", magnitude / 10, magnitude % 10);
}
