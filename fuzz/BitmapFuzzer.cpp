// Decodes the input as a .bmp file, then draws with the decoded bitmap and with random arguments
// on memory device contexts. The bitmap comes from the front of the input and the drawing calls
// from its end (FuzzedDataProvider takes integers from the end), so .bmp files are good seeds.
#include "platform/BitmapResources.h"
#include "platform/TestHooks.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int maxCalls = 48;
constexpr int maxSide = 512;

int coordinate(FuzzedDataProvider& input) {
    // Mostly near the bitmaps, now and then at the ends of the integer range.
    if (input.ConsumeIntegralInRange(0, 15) == 0) {
        return input.PickValueInArray({INT_MIN, INT_MAX, INT_MIN / 2, INT_MAX / 2, -1});
    }
    return input.ConsumeIntegralInRange(-600, 600);
}

COLORREF colour(FuzzedDataProvider& input) {
    return input.ConsumeIntegral<COLORREF>() & 0x00FFFFFF;
}

RECT rectangle(FuzzedDataProvider& input) {
    return {coordinate(input), coordinate(input), coordinate(input), coordinate(input)};
}

std::vector<POINT> points(FuzzedDataProvider& input) {
    std::vector<POINT> result(input.ConsumeIntegralInRange<std::size_t>(0, 24));
    for (POINT& point : result) {
        point = {coordinate(input), coordinate(input)};
    }
    return result;
}

DWORD rasterOperation(FuzzedDataProvider& input) {
    if (input.ConsumeBool()) {
        return input.ConsumeIntegral<DWORD>();
    }
    return input.PickValueInArray(
        {SRCCOPY, SRCAND, SRCPAINT, SRCINVERT, NOTSRCCOPY, BLACKNESS, WHITENESS});
}

// Every object a drawing call selected, restored and deleted at the end of the input.
class Objects {
public:
    explicit Objects(HDC dc) : dc(dc) {}
    ~Objects() {
        for (auto it = previous.rbegin(); it != previous.rend(); ++it) {
            SelectObject(dc, *it);
        }
        for (HGDIOBJ object : created) {
            DeleteObject(object);
        }
    }
    Objects(const Objects&) = delete;
    Objects& operator=(const Objects&) = delete;

    void select(HGDIOBJ object) {
        if (object == nullptr) {
            return;
        }
        created.push_back(object);
        if (HGDIOBJ old = SelectObject(dc, object)) {
            previous.push_back(old);
        }
    }

private:
    HDC dc;
    std::vector<HGDIOBJ> created;
    std::vector<HGDIOBJ> previous;
};

void selectFont(FuzzedDataProvider& input, Objects& objects) {
    LOGFONTA font{};
    // A few heights of the sizes an editor uses: the layer keeps every face it opened, one per
    // height, with every glyph it drew, so many or huge heights only measure that cache.
    font.lfHeight = input.PickValueInArray<LONG>({0, 1, -1, 9, -12, 16, -24, 72, -150});
    font.lfWeight = input.ConsumeIntegralInRange(0, 1000);
    font.lfItalic = input.ConsumeBool();
    const std::string face = input.PickValueInArray<std::string>(
        {"Arial", "Courier New", "Times New Roman", "Symbol", "", "No Such Face"});
    face.copy(font.lfFaceName, sizeof font.lfFaceName - 1);
    objects.select(CreateFontIndirectA(&font));
}

void drawText(FuzzedDataProvider& input, HDC dc) {
    const std::string text = input.ConsumeRandomLengthString(64);
    RECT box = rectangle(input);
    const int count = input.ConsumeBool() ? -1 : static_cast<int>(text.size());
    DrawTextA(dc, text.c_str(), count, &box, input.ConsumeIntegral<UINT>());
    SIZE extent{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
}

void drawShape(FuzzedDataProvider& input, HDC dc) {
    const int a = coordinate(input), b = coordinate(input), c = coordinate(input),
              d = coordinate(input);
    switch (input.ConsumeIntegralInRange(0, 6)) {
    case 0:
        Ellipse(dc, a, b, c, d);
        break;
    case 1:
        Arc(dc, a, b, c, d, coordinate(input), coordinate(input), coordinate(input),
            coordinate(input));
        break;
    case 2:
        Pie(dc, a, b, c, d, coordinate(input), coordinate(input), coordinate(input),
            coordinate(input));
        break;
    case 3: {
        const auto corners = points(input);
        Polygon(dc, corners.data(), static_cast<int>(corners.size()));
        break;
    }
    case 4: {
        const auto corners = points(input);
        Polyline(dc, corners.data(), static_cast<int>(corners.size()));
        break;
    }
    case 5:
        MoveToEx(dc, a, b, nullptr);
        LineTo(dc, c, d);
        break;
    default:
        SetPixel(dc, a, b, colour(input));
        GetPixel(dc, c, d);
        break;
    }
}

void drawOne(FuzzedDataProvider& input, HDC target, HDC source, Objects& objects) {
    switch (input.ConsumeIntegralInRange(0, 9)) {
    case 0:
    case 1:
        BitBlt(target, coordinate(input), coordinate(input), coordinate(input), coordinate(input),
               input.ConsumeBool() ? source : target, coordinate(input), coordinate(input),
               rasterOperation(input));
        break;
    case 2: {
        const RECT box = rectangle(input);
        HBRUSH brush = CreateSolidBrush(colour(input));
        FillRect(target, &box, brush);
        DeleteObject(brush);
        break;
    }
    case 3:
        objects.select(CreatePen(input.ConsumeIntegralInRange(-1, 8),
                                 input.ConsumeIntegralInRange(-4, 64), colour(input)));
        break;
    case 4:
        objects.select(CreateSolidBrush(colour(input)));
        break;
    case 5:
        selectFont(input, objects);
        break;
    case 6:
        drawText(input, target);
        break;
    case 7:
        SetBkMode(target, input.ConsumeIntegralInRange(0, 3));
        SetBkColor(target, colour(input));
        SetTextColor(target, colour(input));
        break;
    default:
        drawShape(input, target);
        break;
    }
}

HBITMAP bitmapFrom(const win32layer::Surface& surface) {
    if (surface.width <= 0 || surface.height <= 0 || surface.width > 4096 ||
        surface.height > 4096) {
        return nullptr;
    }
    return CreateBitmap(surface.width, surface.height, 1, 32, surface.pixels.data());
}

HBITMAP targetBitmap(FuzzedDataProvider& input, HDC source) {
    const int width = input.ConsumeIntegralInRange(1, maxSide);
    const int height = input.ConsumeIntegralInRange(1, maxSide);
    if (input.ConsumeBool()) {
        return CreateBitmap(width, height, 1, 1, nullptr);
    }
    return CreateCompatibleBitmap(source, width, height);
}

void drawWith(const win32layer::Surface& decoded, FuzzedDataProvider& input) {
    HDC source = CreateCompatibleDC(nullptr);
    HDC target = CreateCompatibleDC(nullptr);
    HBITMAP picture = bitmapFrom(decoded);
    HBITMAP canvas = targetBitmap(input, source);
    HGDIOBJ oldSource = picture ? SelectObject(source, picture) : nullptr;
    HGDIOBJ oldTarget = canvas ? SelectObject(target, canvas) : nullptr;
    {
        Objects objects(target);
        for (int call = 0; call < maxCalls && input.remaining_bytes() > 0; ++call) {
            drawOne(input, target, source, objects);
        }
    }
    if (oldSource) {
        SelectObject(source, oldSource);
    }
    if (oldTarget) {
        SelectObject(target, oldTarget);
    }
    DeleteObject(picture);
    DeleteObject(canvas);
    DeleteDC(source);
    DeleteDC(target);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const platformtest::LiveCounts before = platformtest::liveCounts();
    win32layer::Surface decoded;
    const bool readable = win32layer::decodeBmp(data, size, decoded);
    if (readable && (decoded.width <= 0 || decoded.height <= 0 ||
                     decoded.pixels.size() != static_cast<std::size_t>(decoded.width) *
                                                  static_cast<std::size_t>(decoded.height))) {
        // A decoded surface whose pixel store does not match its size.
        std::abort();
    }
    FuzzedDataProvider input(data, size);
    const win32layer::Surface nothing;
    drawWith(readable ? decoded : nothing, input);
    const platformtest::LiveCounts after = platformtest::liveCounts();
    if (after.deviceContexts != before.deviceContexts || after.gdiObjects != before.gdiObjects) {
        // Everything this input created was released again.
        std::abort();
    }
    return 0;
}
