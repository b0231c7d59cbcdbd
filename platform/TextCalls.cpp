// Text drawing and measuring: DrawTextA and GetTextExtentPoint32A.
#include "platform/Layer.h"

#include <cstring>
#include <string_view>
#include <vector>

using namespace win32layer;

namespace {

constexpr int maxTextLength = 1 << 16;

std::vector<std::string_view> splitLines(std::string_view text, bool singleLine) {
    std::vector<std::string_view> lines;
    if (singleLine) {
        lines.push_back(text);
        return lines;
    }
    size_t start = 0;
    while (true) {
        const size_t end = text.find('\n', start);
        std::string_view line =
            text.substr(start, end == std::string_view::npos ? end : end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos)
            return lines;
        start = end + 1;
    }
}

int64_t lineLeft(const RECT& rect, int64_t width, UINT format) {
    if (format & DT_CENTER)
        return rect.left + (int64_t(rect.right) - rect.left - width) / 2;
    if (format & DT_RIGHT)
        return rect.right - width;
    return rect.left;
}

int64_t blockTop(const RECT& rect, int64_t height, UINT format) {
    if (!(format & DT_SINGLELINE))
        return rect.top;
    if (format & DT_VCENTER)
        return rect.top + (int64_t(rect.bottom) - rect.top - height) / 2;
    if (format & DT_BOTTOM)
        return rect.bottom - height;
    return rect.top;
}

} // namespace

int DrawTextA(HDC dc, LPCSTR text, int count, LPRECT rect, UINT format) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    DeviceContext* context = layer.dc(dc);
    if (!context || !text || !rect)
        return 0;
    const size_t length = count < 0 ? strnlen(text, maxTextLength) : size_t(count);
    if (length > size_t(maxTextLength))
        return 0;
    FontFace* face = layer.faceOf(*context);
    if (!face)
        return 0;
    const auto lines = splitLines(std::string_view(text, length), (format & DT_SINGLELINE) != 0);
    const int64_t lineHeight = face->lineHeight();
    const int64_t height = lineHeight * int64_t(lines.size());
    const int64_t top = blockTop(*rect, height, format);

    if (format & DT_CALCRECT) {
        int64_t widest = 0;
        for (std::string_view line : lines)
            widest = std::max<int64_t>(widest, face->measure(line.data(), line.size()));
        rect->right = LONG(std::clamp<int64_t>(rect->left + widest, INT32_MIN, INT32_MAX));
        rect->bottom = LONG(std::clamp<int64_t>(rect->top + height, INT32_MIN, INT32_MAX));
        return int(height);
    }

    DrawTarget target = layer.targetOf(*context);
    if (target) {
        PixelRect clip = target.clip;
        if (!(format & DT_NOCLIP))
            clip = clip.intersect({rect->left, rect->top, rect->right, rect->bottom});
        const Surface& surface = *target.surface;
        const TextColors colors{pixelForSurface(surface, context->textColor),
                                context->backgroundMode == OPAQUE,
                                pixelForSurface(surface, context->backgroundColor)};
        int64_t y = top;
        for (std::string_view line : lines) {
            const int64_t x = lineLeft(*rect, face->measure(line.data(), line.size()), format);
            renderTextLine(*target.surface, clip, *face, x, y, line.data(), line.size(), colors);
            y += lineHeight;
        }
    }
    return int(std::clamp<int64_t>(top - rect->top + height, 1, INT32_MAX));
}

BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int count, LPSIZE size) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    DeviceContext* context = layer.dc(dc);
    if (!context || !size || count < 0 || count > maxTextLength || (!text && count > 0))
        return FALSE;
    FontFace* face = layer.faceOf(*context);
    if (!face)
        return FALSE;
    size->cx = face->measure(text, size_t(count));
    size->cy = face->lineHeight();
    return TRUE;
}
