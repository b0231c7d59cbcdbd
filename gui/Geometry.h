// Integer geometry, colours and font identifiers shared by the whole GUI toolkit.
#pragma once

#include <cstdint>

struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    constexpr Rect() = default;
    constexpr Rect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom)
        : left(left), top(top), right(right), bottom(bottom) {}

    // The rectangle spanned by two corners given in either order.
    static constexpr Rect fromCorners(std::int32_t x1, std::int32_t y1, std::int32_t x2,
                                      std::int32_t y2) {
        return Rect(x1 < x2 ? x1 : x2, y1 < y2 ? y1 : y2, x1 < x2 ? x2 : x1, y1 < y2 ? y2 : y1);
    }

    constexpr std::int32_t getWidth() const { return right - left; }
    constexpr std::int32_t getHeight() const { return bottom - top; }
    constexpr bool operator==(const Rect&) const = default;
};

// Laid out like the system's POINT, so arrays of points go to the drawing calls unchanged.
struct Point {
    std::int32_t h = 0;
    std::int32_t v = 0;

    constexpr Point() = default;
    constexpr Point(std::int32_t h, std::int32_t v) : h(h), v(v) {}

    Point& set(std::int32_t newH, std::int32_t newV) {
        h = newH;
        v = newV;
        return *this;
    }

    // All four edges count as inside.
    constexpr bool liesIn(const Rect& r) const {
        return r.left <= h && h <= r.right && r.top <= v && v <= r.bottom;
    }
    constexpr bool operator==(const Point&) const = default;
};

struct Color {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    // Carried along with the colour; no drawing reads it.
    std::uint8_t alpha = 0;

    // Alpha is not compared: colours that differ only in alpha draw the same.
    constexpr bool operator!=(const Color& other) const {
        return red != other.red || green != other.green || blue != other.blue;
    }
    constexpr bool operator==(const Color& other) const { return !(*this != other); }

    constexpr std::uint32_t toColorRef() const {
        return static_cast<std::uint32_t>(red) | (static_cast<std::uint32_t>(green) << 8) |
               (static_cast<std::uint32_t>(blue) << 16);
    }
};

// The colour key of transparent bitmap drawing; the same value as colorWhite, meant differently.
inline constexpr Color colorTransparent{255, 255, 255, 0};
inline constexpr Color colorBlack{0, 0, 0, 0};
inline constexpr Color colorWhite{255, 255, 255, 0};
inline constexpr Color colorGrey{127, 127, 127, 0};
inline constexpr Color colorRed{255, 0, 0, 0};
inline constexpr Color colorGreen{0, 255, 0, 0};
inline constexpr Color colorBlue{0, 0, 255, 0};
inline constexpr Color colorYellow{255, 255, 0, 0};
inline constexpr Color colorMagenta{255, 0, 255, 0};
inline constexpr Color colorCyan{0, 255, 255, 0};

// Index into the toolkit's font table; values outside 0..6 mean fontBold.
using FontId = std::int32_t;
inline constexpr FontId fontBold = 0;
inline constexpr FontId fontHuge = 1;
inline constexpr FontId fontLarge = 2;
inline constexpr FontId fontMedium = 3;
inline constexpr FontId fontSmall = 4;
inline constexpr FontId fontTiny = 5;
inline constexpr FontId fontSymbol = 6;

struct FontDescription {
    const char* face;
    std::int32_t height;
    std::int32_t weight;
    bool decorative;
};

// The font table row of an identifier; identifiers outside the table give row 0.
const FontDescription& fontDescription(FontId id);
