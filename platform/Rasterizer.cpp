#include "platform/Rasterizer.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace win32layer {
namespace {

constexpr double pi = 3.14159265358979323846;
// Beyond this magnitude the exact integer stepping could overflow; such lines are first cut down
// to the visible area.
constexpr int64_t exactLineLimit = int64_t{1} << 28;

bool dashOn(const PenState& pen, int64_t position) {
    if (!pen.dashes || pen.dashes->empty() || pen.width > 1)
        return true;
    const std::vector<int>& runs = *pen.dashes;
    const int period = std::accumulate(runs.begin(), runs.end(), 0);
    int64_t offset = position % period;
    for (size_t i = 0; i < runs.size(); ++i) {
        if (offset < runs[i])
            return i % 2 == 0;
        offset -= runs[i];
    }
    return true;
}

void fillPixelsPortable(uint32_t* first, size_t count, uint32_t pixel) {
    for (size_t i = 0; i < count; ++i)
        first[i] = pixel;
}

#if defined(__x86_64__) && defined(__GNUC__)
// The same loop built for AVX2's wider stores, chosen at run time where the processor has them.
__attribute__((target("avx2"))) void fillPixelsAvx2(uint32_t* first, size_t count, uint32_t pixel) {
    for (size_t i = 0; i < count; ++i)
        first[i] = pixel;
}
#endif

void fillPixels(uint32_t* first, size_t count, uint32_t pixel) {
#if defined(__x86_64__) && defined(__GNUC__)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2) {
        fillPixelsAvx2(first, count, pixel);
        return;
    }
#endif
    fillPixelsPortable(first, count, pixel);
}

int64_t roundToPixel(double v) {
    return static_cast<int64_t>(std::floor(v));
}

double counterClockwise(double from, double to) {
    double turn = std::fmod(to - from, 2 * pi);
    if (turn < 0)
        turn += 2 * pi;
    return turn;
}

} // namespace

void Rasterizer::plot(int64_t x, int64_t y, uint32_t pixel) {
    if (clip_.contains(x, y))
        surface_.at(x, y) = pixel;
}

void Rasterizer::fillRect(const PixelRect& rect, uint32_t pixel) {
    const PixelRect area = rect.intersect(clip_);
    if (area.empty())
        return;
    const auto count = static_cast<size_t>(area.right - area.left);
    // Whole rows lie one after the other: one fill covers them all.
    if (count == static_cast<size_t>(surface_.width)) {
        fillPixels(surface_.row(area.top), count * static_cast<size_t>(area.bottom - area.top),
                   pixel);
        return;
    }
    // Narrow rectangles (slider tracks, frames) have many short rows: fill them in place rather
    // than paying a dispatched call per row.
    if (count < 32) {
        for (int64_t y = area.top; y < area.bottom; ++y)
            std::fill_n(surface_.row(y) + area.left, count, pixel);
        return;
    }
    for (int64_t y = area.top; y < area.bottom; ++y)
        fillPixels(surface_.row(y) + area.left, count, pixel);
}

void Rasterizer::stamp(int64_t x, int64_t y, const PenState& pen, uint32_t pixel) {
    if (pen.width <= 1) {
        plot(x, y, pixel);
        return;
    }
    const int low = -(pen.width - 1) / 2;
    const int high = pen.width / 2;
    const double radius = pen.width / 2.0;
    for (int dy = low; dy <= high; ++dy)
        for (int dx = low; dx <= high; ++dx)
            if (dx * dx + dy * dy <= radius * radius)
                plot(x + dx, y + dy, pixel);
}

void Rasterizer::line(int64_t x0, int64_t y0, int64_t x1, int64_t y1, const PenState& pen,
                      const BackgroundState& background, int64_t& dashPosition, bool includeEnd) {
    if (!pen.visible)
        return;
    const bool wide = pen.width > 1;
    includeEnd = includeEnd || wide;
    const int64_t limit = exactLineLimit;
    if (std::llabs(x0) > limit || std::llabs(y0) > limit || std::llabs(x1) > limit ||
        std::llabs(y1) > limit) {
        clippedLine(double(x0), double(y0), double(x1), double(y1), pen, background, dashPosition,
                    includeEnd);
        return;
    }
    const int64_t dx = x1 - x0, dy = y1 - y0;
    const int64_t adx = std::llabs(dx), ady = std::llabs(dy);
    const int64_t sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    const int64_t steps = std::max(adx, ady);
    const int64_t last = includeEnd ? steps : steps - 1;
    if (last < 0)
        return;
    const bool xMajor = adx >= ady;
    const int64_t margin = pen.width;
    // Only the steps whose major coordinate can touch the clip rectangle are walked.
    const int64_t origin = xMajor ? x0 : y0;
    const int64_t direction = xMajor ? sx : sy;
    const int64_t low = (xMajor ? clip_.left : clip_.top) - margin;
    const int64_t high = (xMajor ? clip_.right : clip_.bottom) - 1 + margin;
    int64_t first = direction > 0 ? low - origin : origin - high;
    int64_t final = direction > 0 ? high - origin : origin - low;
    first = std::max<int64_t>(first, 0);
    final = std::min(final, last);
    const int64_t major = std::max<int64_t>(xMajor ? adx : ady, 1);
    const int64_t minor = xMajor ? ady : adx;
    // A solid thin line along an axis is a span: fill it in one go (outlines, frames, tracks).
    const bool solid = !pen.dashes || pen.dashes->empty();
    if (minor == 0 && !wide && solid) {
        if (first <= final) {
            const int64_t a = origin + direction * first;
            const int64_t b = origin + direction * final;
            const int64_t from = std::min(a, b), to = std::max(a, b) + 1;
            fillRect(xMajor ? PixelRect{from, y0, to, y0 + 1} : PixelRect{x0, from, x0 + 1, to},
                     pen.pixel);
        }
        dashPosition += steps;
        return;
    }
    for (int64_t i = first; i <= final; ++i) {
        const int64_t offset = (2 * i * minor + major) / (2 * major);
        const int64_t x = xMajor ? x0 + sx * i : x0 + sx * offset;
        const int64_t y = xMajor ? y0 + sy * offset : y0 + sy * i;
        if (dashOn(pen, dashPosition + i))
            stamp(x, y, pen, pen.pixel);
        else if (background.opaque)
            plot(x, y, background.pixel);
    }
    dashPosition += steps;
}

// Cuts a line with far-away end points down to the clip rectangle (Liang-Barsky) and draws the
// remaining piece.
void Rasterizer::clippedLine(double x0, double y0, double x1, double y1, const PenState& pen,
                             const BackgroundState& background, int64_t& dashPosition,
                             bool includeEnd) {
    const double margin = pen.width + 2.0;
    const double left = double(clip_.left) - margin, right = double(clip_.right) + margin;
    const double top = double(clip_.top) - margin, bottom = double(clip_.bottom) + margin;
    const double dx = x1 - x0, dy = y1 - y0;
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - left, right - x0, y0 - top, bottom - y0};
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0) {
            if (q[k] < 0)
                return;
            continue;
        }
        const double t = q[k] / p[k];
        if (p[k] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    if (t0 > t1)
        return;
    const auto ax = static_cast<int64_t>(std::llround(x0 + t0 * dx));
    const auto ay = static_cast<int64_t>(std::llround(y0 + t0 * dy));
    const auto bx = static_cast<int64_t>(std::llround(x0 + t1 * dx));
    const auto by = static_cast<int64_t>(std::llround(y0 + t1 * dy));
    line(ax, ay, bx, by, pen, background, dashPosition, includeEnd || t1 < 1);
}

struct Rasterizer::EllipseGeometry {
    double cx, cy, rx, ry;
    int penWidth;

    bool inside(int64_t x, int64_t y, double shrink = 0) const {
        const double ax = rx - shrink, ay = ry - shrink;
        if (ax <= 0 || ay <= 0)
            return false;
        const double nx = (double(x) + 0.5 - cx) / ax;
        const double ny = (double(y) + 0.5 - cy) / ay;
        return nx * nx + ny * ny <= 1.0 + 1e-9;
    }
    bool onOutline(int64_t x, int64_t y) const {
        if (!inside(x, y))
            return false;
        if (penWidth > 1)
            return !inside(x, y, penWidth);
        return !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
    }
    double angleOf(double x, double y) const { return std::atan2(cy - y, x - cx); }
    PointD boundaryAt(double angle) const {
        const double c = std::cos(angle), s = std::sin(angle);
        const double r = 1.0 / std::sqrt((c / rx) * (c / rx) + (s / ry) * (s / ry));
        return {cx + r * c, cy - r * s};
    }
};

void Rasterizer::shape(const PixelRect& rawBox, Sector sector, PointD start, PointD end,
                       const PenState& pen, const BrushState& brush) {
    PixelRect box{std::min(rawBox.left, rawBox.right), std::min(rawBox.top, rawBox.bottom),
                  std::max(rawBox.left, rawBox.right), std::max(rawBox.top, rawBox.bottom)};
    if (box.empty())
        return;
    EllipseGeometry g{(double(box.left) + double(box.right)) / 2,
                      (double(box.top) + double(box.bottom)) / 2,
                      (double(box.right) - double(box.left)) / 2,
                      (double(box.bottom) - double(box.top)) / 2, std::max(pen.width, 1)};
    const double startAngle = g.angleOf(start.x, start.y);
    const double endAngle = g.angleOf(end.x, end.y);
    double sweep = counterClockwise(startAngle, endAngle);
    const bool whole = sector == Sector::whole || sweep < 1e-12 || 2 * pi - sweep < 1e-12;
    if (whole)
        sweep = 2 * pi;
    const bool drawOutline = pen.visible;
    const bool drawFill = brush.visible && sector != Sector::arc;
    const PixelRect area = box.intersect(clip_);
    for (int64_t y = area.top; y < area.bottom; ++y) {
        for (int64_t x = area.left; x < area.right; ++x) {
            if (!g.inside(x, y))
                continue;
            if (!whole &&
                counterClockwise(startAngle, g.angleOf(double(x) + 0.5, double(y) + 0.5)) > sweep)
                continue;
            if (drawOutline && g.onOutline(x, y))
                surface_.at(x, y) = pen.pixel;
            else if (drawFill)
                surface_.at(x, y) = brush.pixel;
        }
    }
    if (sector == Sector::pie && !whole && drawOutline) {
        const BackgroundState background{false, 0};
        const PenState solid{true, pen.width, pen.pixel, nullptr};
        const int64_t cx = roundToPixel(g.cx), cy = roundToPixel(g.cy);
        for (double angle : {startAngle, endAngle}) {
            const PointD edge = g.boundaryAt(angle);
            const int64_t ex = std::clamp(roundToPixel(edge.x), box.left, box.right - 1);
            const int64_t ey = std::clamp(roundToPixel(edge.y), box.top, box.bottom - 1);
            int64_t dash = 0;
            line(std::min(cx, box.right - 1), std::min(cy, box.bottom - 1), ex, ey, solid,
                 background, dash, true);
        }
    }
}

void Rasterizer::ellipse(const PixelRect& box, const PenState& pen, const BrushState& brush) {
    shape(box, Sector::whole, {0, 0}, {0, 0}, pen, brush);
}

void Rasterizer::arc(const PixelRect& box, PointD start, PointD end, const PenState& pen) {
    shape(box, Sector::arc, start, end, pen, BrushState{false, 0});
}

void Rasterizer::pie(const PixelRect& box, PointD start, PointD end, const PenState& pen,
                     const BrushState& brush) {
    shape(box, Sector::pie, start, end, pen, brush);
}

void Rasterizer::polygon(const std::vector<PointD>& points, const PenState& pen,
                         const BrushState& brush, const BackgroundState& background) {
    if (points.size() < 2)
        return;
    if (brush.visible) {
        double minY = points[0].y, maxY = points[0].y;
        for (const PointD& p : points) {
            minY = std::min(minY, p.y);
            maxY = std::max(maxY, p.y);
        }
        const int64_t firstRow = std::max<int64_t>(clip_.top, int64_t(std::floor(minY)));
        const int64_t endRow = std::min<int64_t>(clip_.bottom, int64_t(std::ceil(maxY)) + 1);
        std::vector<double> crossings;
        for (int64_t y = firstRow; y < endRow; ++y) {
            const double scan = double(y) + 0.5;
            crossings.clear();
            for (size_t i = 0; i < points.size(); ++i) {
                const PointD& a = points[i];
                const PointD& b = points[(i + 1) % points.size()];
                if ((a.y <= scan && scan < b.y) || (b.y <= scan && scan < a.y))
                    crossings.push_back(a.x + (scan - a.y) * (b.x - a.x) / (b.y - a.y));
            }
            std::sort(crossings.begin(), crossings.end());
            for (size_t i = 0; i + 1 < crossings.size(); i += 2) {
                // Pixels whose centres lie in [from, to).
                const double from = std::clamp(std::ceil(crossings[i] - 0.5), double(clip_.left),
                                               double(clip_.right));
                const double to = std::clamp(std::ceil(crossings[i + 1] - 0.5), double(clip_.left),
                                             double(clip_.right));
                fillRect({int64_t(from), y, int64_t(to), y + 1}, brush.pixel);
            }
        }
    }
    int64_t dash = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        const PointD& a = points[i];
        const PointD& b = points[(i + 1) % points.size()];
        line(int64_t(a.x), int64_t(a.y), int64_t(b.x), int64_t(b.y), pen, background, dash);
    }
}

} // namespace win32layer
