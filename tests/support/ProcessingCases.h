// Test vectors of the mid/side processing: special sample values and gains, the gain law's
// cases, and worked results of the formula. Shared by the native tests and the Windows test host.
#pragma once

#include <bit>
#include <cfloat>
#include <cstdint>
#include <limits>

namespace processing {

constexpr float fromBits(std::uint32_t bits) {
    return std::bit_cast<float>(bits);
}
constexpr std::uint32_t toBits(float value) {
    return std::bit_cast<std::uint32_t>(value);
}

constexpr float infinity = std::numeric_limits<float>::infinity();
constexpr float quietNan = std::numeric_limits<float>::quiet_NaN();

// Inputs that stress the rounding, overflow, subnormal and NaN paths of the formula.
inline constexpr float specialValues[] = {
    0.0f,
    -0.0f,
    fromBits(0x00000001), // smallest subnormal
    fromBits(0x807FFFFF), // largest subnormal, negative
    FLT_MIN,
    -FLT_MIN,
    FLT_MAX,
    -FLT_MAX,
    fromBits(0x7F000000), // 2^127: the sum of two overflows float, not double
    fromBits(0x7F7FFFFE), // just below FLT_MAX
    infinity,
    -infinity,
    fromBits(0x7FC00000), // default quiet NaN
    fromBits(0xFFC12345), // quiet NaN with payload, sign set
    fromBits(0x7F800001), // signalling NaN, smallest payload
    fromBits(0x7FA5A5A5), // signalling NaN with payload
    fromBits(0x7FFFFFFF), // quiet NaN, all payload bits
    1.0f,
    -1.0f,
    16777216.0f, // 2^24: adding 1 is exact only in double
    0.1f,
    -3.3333333f,
};

// The gains the parameters produce, plus the extremes a host could force: NaN, infinity, and the
// smallest and largest magnitudes, which push products towards the ends of the double range.
inline constexpr float specialGains[] = {
    0.0f,
    fromBits(0x00000001),
    -FLT_MAX,
    0.9f,
    1.0f,
    fromBits(0x40000001),
    fromBits(0x3F8E38E4),
    fromBits(0x7FC00000),
    infinity,
};

// A parameter value, the gain it gives, the value read back and the value text.
struct GainCase {
    float value;
    std::uint32_t gainBits;
    float storedValue;
    const char* text;
};

inline constexpr GainCase gainCases[] = {
    {0.0f, 0x00000000, 0.0f, "      0"},
    {0.9f, 0x3F800000, 0.9f, "     89"},
    {1.0f, 0x40000001, 1.0f, "    100"},
    {0.45f, toBits(static_cast<float>(0.45f * 1.1111111640930176)), 0.45f, "     44"},
    {0.95f, toBits(static_cast<float>((0.95f - 0.8999999761581421) * 10 + 1)), 0.95f, "     94"},
    {0.5f, toBits(static_cast<float>(0.5 * 1.1111111640930176)), 0.5f, "     50"},
    // Values outside 0..1 are clamped before the gain law.
    {-0.5f, 0x00000000, 0.0f, "      0"},
    {7.0f, 0x40000001, 1.0f, "    100"},
    // Values that are not finite are ignored: the parameter keeps its default.
    {quietNan, 0x3F800000, 0.9f, "     89"},
    {infinity, 0x3F800000, 0.9f, "     89"},
    {-infinity, 0x3F800000, 0.9f, "     89"},
};

// Parameter values and the outputs they give for the input pair (L, R) = (0.5, 0.25).
struct ProcessCase {
    const char* name;
    float mid;
    float side;
    float left;
    float right;
};

inline constexpr float processCaseLeft = 0.5f;
inline constexpr float processCaseRight = 0.25f;

inline constexpr ProcessCase processCases[] = {
    {"unityPassesThrough", 0.9f, 0.9f, 0.5f, 0.25f},
    {"midOnly", 0.9f, 0.0f, 0.375f, 0.375f},
    {"sideOnly", 0.0f, 0.9f, 0.125f, -0.125f},
    {"silence", 0.0f, 0.0f, 0.0f, 0.0f},
};

// Values worked out by hand, including cases where float arithmetic or another operand order
// would give a different result.
struct FormulaCase {
    const char* what;
    float left;
    float right;
    float previousLeft;
    float previousRight;
    float midGain;
    float sideGain;
    float expectedOverwriteLeft;
    float expectedOverwriteRight;
    float expectedAccumulateLeft;
    float expectedAccumulateRight;
};

inline constexpr float overflowingAccumulation =
    static_cast<float>(-static_cast<double>(FLT_MAX) +
                       static_cast<double>(FLT_MAX) * static_cast<double>(fromBits(0x3F8E38E4)));

inline constexpr FormulaCase formulaCases[] = {
    {"unity gains pass audio through", 0.25f, -0.75f, 1.0f, 2.0f, 1.0f, 1.0f, 0.25f, -0.75f, 1.25f,
     1.25f},
    {"side muted gives the mean on both sides", 1.0f, 0.5f, 0.0f, 0.0f, 1.0f, 0.0f, 0.75f, 0.75f,
     0.75f, 0.75f},
    {"mid muted gives half the difference, mirrored", 1.0f, 0.5f, 0.0f, 0.0f, 0.0f, 1.0f, 0.25f,
     -0.25f, 0.25f, -0.25f},
    {"2^24 + 1 is exact in double", 16777216.0f, 1.0f, 0.0f, 0.0f, 1.0f, 1.0f, 16777216.0f, 1.0f,
     16777216.0f, 1.0f},
    {"the sum of two FLT_MAX does not overflow in double", FLT_MAX, FLT_MAX, -FLT_MAX, -FLT_MAX,
     1.0f, 1.0f, FLT_MAX, FLT_MAX, 0.0f, 0.0f},
    {"a product beyond FLT_MAX survives the accumulation", FLT_MAX, FLT_MAX, -FLT_MAX, -FLT_MAX,
     fromBits(0x3F8E38E4), 0.0f, infinity, infinity, overflowingAccumulation,
     overflowingAccumulation},
    {"gain 2.0000002 lands on its own float", 1.0f, 1.0f, 0.0f, 0.0f, fromBits(0x40000001), 1.0f,
     fromBits(0x40000001), fromBits(0x40000001), fromBits(0x40000001), fromBits(0x40000001)},
    {"a subnormal input stays subnormal", fromBits(0x00000003), 0.0f, 0.0f, 0.0f, 1.0f, 1.0f,
     fromBits(0x00000003), 0.0f, fromBits(0x00000003), 0.0f},
};

// Where two NaNs meet, an x86 processor returns the first operand, and the code keeps the order
// written: L before R, the sum or difference before the gain, M before S, the previous output
// before the mix.
inline constexpr FormulaCase x86NanCases[] = {
    {"both inputs NaN: the left one wins, quietened", fromBits(0x7FA00001), fromBits(0x7FC00002),
     0.0f, 0.0f, 1.0f, 1.0f, fromBits(0x7FE00001), fromBits(0x7FE00001), fromBits(0x7FE00001),
     fromBits(0x7FE00001)},
    {"a NaN input wins over a NaN gain", 1.0f, fromBits(0xFFC00003), 0.0f, 0.0f,
     fromBits(0x7FC00004), fromBits(0x7FC00005), fromBits(0xFFC00003), fromBits(0xFFC00003),
     fromBits(0xFFC00003), fromBits(0xFFC00003)},
    {"the mid gain's NaN wins over the side gain's", 1.0f, 0.5f, 0.0f, 0.0f, fromBits(0x7FC00004),
     fromBits(0xFFC00005), fromBits(0x7FC00004), fromBits(0x7FC00004), fromBits(0x7FC00004),
     fromBits(0x7FC00004)},
    {"a NaN previous output wins over a NaN mix", fromBits(0x7FC00006), 0.0f, fromBits(0x7F800007),
     fromBits(0xFFC00008), 1.0f, 1.0f, fromBits(0x7FC00006), fromBits(0x7FC00006),
     fromBits(0x7FC00007), fromBits(0xFFC00008)},
};

// The gains a host reaches through the parameters, by the parameter value that gives each.
struct ReachableGain {
    std::uint32_t gainBits;
    float parameterValue;
};

inline constexpr ReachableGain reachableGains[] = {
    {0x00000000, 0.0f},
    {0x3F800000, 0.9f},
    {0x40000001, 1.0f},
};

} // namespace processing
