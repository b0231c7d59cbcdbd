#include "gui/Canvas.h"

#include <cstring>

namespace {

void selectIfRecorded(HDC deviceContext, HGDIOBJ object) {
    if (object != nullptr) {
        SelectObject(deviceContext, object);
    }
}

void deleteIfPresent(HGDIOBJ object) {
    if (object != nullptr) {
        DeleteObject(object);
    }
}

// Replaces the canvas's own object: the new one is selected before the old one goes, so the
// object being deleted is never selected. A failed creation keeps the previous object.
template <typename Handle>
void replaceSelected(HDC deviceContext, Handle& current, Handle created) {
    if (created == nullptr) {
        return;
    }
    SelectObject(deviceContext, created);
    deleteIfPresent(current);
    current = created;
}

bool isDownNow(int virtualKey) {
    return GetAsyncKeyState(virtualKey) < 0;
}

} // namespace

Canvas::Canvas(EditorFrame* frame, HDC deviceContext, HWND window)
    : deviceContext(deviceContext), window(window), frame(frame) {
    if (deviceContext == nullptr) {
        return;
    }
    savedBrush = GetCurrentObject(deviceContext, OBJ_BRUSH);
    savedPen = GetCurrentObject(deviceContext, OBJ_PEN);
    savedFont = GetCurrentObject(deviceContext, OBJ_FONT);
    SetBkMode(deviceContext, TRANSPARENT);
    setPenColor(penColor);
    setPenStyle(penStyle);
    setBrushColor(brushColor);
    setTextColor(textColor);
}

Canvas::~Canvas() {
    if (deviceContext != nullptr) {
        selectIfRecorded(deviceContext, savedBrush);
        selectIfRecorded(deviceContext, savedPen);
        selectIfRecorded(deviceContext, savedFont);
    }
    deleteIfPresent(brush);
    deleteIfPresent(pen);
    deleteIfPresent(font);
}

void Canvas::setPenColor(Color color) {
    penColor = color;
    rebuildPen();
}

void Canvas::setPenStyle(int style) {
    penStyle = style;
    gdiPenStyle = style == penDotted ? PS_DOT : PS_SOLID;
    rebuildPen();
}

void Canvas::setPenWidth(int width) {
    penWidth = width;
    rebuildPen();
}

void Canvas::rebuildPen() {
    LOGPEN description{};
    description.lopnStyle = static_cast<UINT>(gdiPenStyle);
    description.lopnWidth.x = penWidth;
    description.lopnWidth.y = 0;
    description.lopnColor = penColor.toColorRef();
    replaceSelected(deviceContext, pen, CreatePenIndirect(&description));
}

void Canvas::setBrushColor(Color color) {
    brushColor = color;
    SetBkColor(deviceContext, color.toColorRef());
    LOGBRUSH description{};
    description.lbStyle = BS_SOLID;
    description.lbColor = color.toColorRef();
    description.lbHatch = 0;
    replaceSelected(deviceContext, brush, CreateBrushIndirect(&description));
}

void Canvas::setTextColor(Color color) {
    textColor = color;
    SetTextColor(deviceContext, color.toColorRef());
}

void Canvas::selectFont(FontId fontId, int size) {
    const FontDescription& row = fontDescription(fontId);
    LOGFONTA description{};
    description.lfHeight = -(size != 0 ? size : row.height);
    description.lfWeight = row.weight;
    description.lfCharSet = ANSI_CHARSET;
    description.lfOutPrecision = OUT_STRING_PRECIS;
    description.lfClipPrecision = CLIP_STROKE_PRECIS;
    description.lfQuality = DEFAULT_QUALITY;
    description.lfPitchAndFamily =
        row.decorative ? (FF_DECORATIVE | DEFAULT_PITCH) : (FF_SWISS | VARIABLE_PITCH);
    std::strncpy(description.lfFaceName, row.face, sizeof description.lfFaceName - 1);
    replaceSelected(deviceContext, font, CreateFontIndirectA(&description));
}

void Canvas::moveTo(const Point& p) {
    MoveToEx(deviceContext, p.h, p.v, nullptr);
}

void Canvas::lineTo(const Point& p) {
    LineTo(deviceContext, p.h, p.v);
}

void Canvas::drawPolyline(const Point* points, int count) {
    Polyline(deviceContext, reinterpret_cast<const POINT*>(points), count);
}

HGDIOBJ Canvas::selectNullPen() {
    return SelectObject(deviceContext, GetStockObject(NULL_PEN));
}

void Canvas::paintPolygon(const Point* points, int count) {
    HGDIOBJ displaced = selectNullPen();
    Polygon(deviceContext, reinterpret_cast<const POINT*>(points), count);
    SelectObject(deviceContext, displaced);
}

void Canvas::outlineRect(const Rect& r) {
    MoveToEx(deviceContext, r.left, r.top, nullptr);
    LineTo(deviceContext, r.right, r.top);
    LineTo(deviceContext, r.right, r.bottom);
    LineTo(deviceContext, r.left, r.bottom);
    LineTo(deviceContext, r.left, r.top);
}

void Canvas::paintRect(const Rect& r) {
    const RECT interior{r.left + 1, r.top + 1, r.right, r.bottom};
    FillRect(deviceContext, &interior, brush);
}

void Canvas::outlineEllipse(const Rect& r) {
    // Start and end at the same point of the top edge: the whole ellipse.
    const int middle = r.left + r.getWidth() / 2;
    Arc(deviceContext, r.left, r.top, r.right + 1, r.bottom + 1, middle, r.top, middle, r.top);
}

void Canvas::paintEllipse(const Rect& r) {
    HGDIOBJ displaced = selectNullPen();
    Ellipse(deviceContext, r.left + 1, r.top + 1, r.right, r.bottom);
    SelectObject(deviceContext, displaced);
}

void Canvas::outlineArc(const Rect& r, const Point& start, const Point& end) {
    Arc(deviceContext, r.left, r.top, r.right + 1, r.bottom + 1, start.h, start.v, end.h, end.v);
}

void Canvas::paintPie(const Rect& r, const Point& start, const Point& end) {
    HGDIOBJ displaced = selectNullPen();
    Pie(deviceContext, r.left + 1, r.top + 1, r.right, r.bottom, start.h, start.v, end.h, end.v);
    SelectObject(deviceContext, displaced);
}

void Canvas::plotPoint(const Point& p, Color c) {
    SetPixel(deviceContext, p.h, p.v, c.toColorRef());
}

void Canvas::writeText(const char* text, const Rect& r, short opaque, int align) {
    SetBkMode(deviceContext, opaque != 0 ? OPAQUE : TRANSPARENT);
    RECT box{r.left, r.top, r.right, r.bottom};
    UINT format = DT_VCENTER | DT_SINGLELINE;
    if (align == alignCenter) {
        format |= DT_CENTER;
    } else if (align == alignRight) {
        format |= DT_RIGHT;
    } else {
        format |= DT_LEFT;
        box.left += 1;
    }
    DrawTextA(deviceContext, text, static_cast<int>(std::strlen(text)), &box, format);
    SetBkMode(deviceContext, TRANSPARENT);
}

int Canvas::pollButtons() {
    int state = 0;
    if (isDownNow(VK_LBUTTON)) {
        state |= buttonLeft;
    }
    if (isDownNow(VK_MBUTTON)) {
        state |= buttonMiddle;
    }
    if (isDownNow(VK_RBUTTON)) {
        state |= buttonRight;
    }
    if (isDownNow(VK_SHIFT)) {
        state |= keyShift;
    }
    if (isDownNow(VK_CONTROL)) {
        state |= keyControl;
    }
    if (isDownNow(VK_MENU)) {
        state |= keyAlt;
    }
    return state;
}

void Canvas::pollCursor(Point& where) {
    POINT cursor{};
    GetCursorPos(&cursor);
    MapWindowPoints(nullptr, window, &cursor, 1);
    where.set(cursor.x, cursor.y);
}
