// Lines, shapes and fills with the pixel rules of GDI, clipped to a rectangle of a surface.
#pragma once

#include "platform/Surface.h"

#include <cstdint>
#include <vector>

namespace win32layer {

struct PenState {
    bool visible = true;
    int width = 1;
    uint32_t pixel = 0;
    // Alternating on/off run lengths; empty for a solid pen.
    const std::vector<int>* dashes = nullptr;
};

struct BrushState {
    bool visible = true;
    uint32_t pixel = 0;
};

struct BackgroundState {
    bool opaque = true;
    uint32_t pixel = monoWhite;
};

struct PointD {
    double x;
    double y;
};

class Rasterizer {
public:
    // clip must lie within the surface.
    Rasterizer(Surface& surface, const PixelRect& clip) : surface_(surface), clip_(clip) {}

    void plot(int64_t x, int64_t y, uint32_t pixel);
    void fillRect(const PixelRect& rect, uint32_t pixel);

    // Draws from (x0, y0) towards (x1, y1); the end point is left out unless includeEnd is set.
    // dashPosition carries a styled pen's pattern from one segment to the next.
    void line(int64_t x0, int64_t y0, int64_t x1, int64_t y1, const PenState& pen,
              const BackgroundState& background, int64_t& dashPosition, bool includeEnd = false);

    // The bounding box's right and bottom edges lie outside the figure.
    void ellipse(const PixelRect& box, const PenState& pen, const BrushState& brush);
    // Counter-clockwise from the start radial to the end radial; the whole ellipse when both
    // radials coincide. A pie is filled between its two radii and outlined along them.
    void arc(const PixelRect& box, PointD start, PointD end, const PenState& pen);
    void pie(const PixelRect& box, PointD start, PointD end, const PenState& pen,
             const BrushState& brush);
    // Filled with the alternate (even-odd) rule and outlined through every vertex.
    void polygon(const std::vector<PointD>& points, const PenState& pen, const BrushState& brush,
                 const BackgroundState& background);

private:
    struct EllipseGeometry;
    enum class Sector { whole, arc, pie };

    void shape(const PixelRect& box, Sector sector, PointD start, PointD end, const PenState& pen,
               const BrushState& brush);
    void stamp(int64_t x, int64_t y, const PenState& pen, uint32_t pixel);
    void clippedLine(double x0, double y0, double x1, double y1, const PenState& pen,
                     const BackgroundState& background, int64_t& dashPosition, bool includeEnd);

    Surface& surface_;
    PixelRect clip_;
};

} // namespace win32layer
