// A drawing context over a device context: the current pen, brush, text colour and font, the
// drawing operations every widget uses, and the live mouse and modifier state.
#pragma once

#include "gui/Geometry.h"
#include "platform/win32.h"

class EditorFrame;

inline constexpr int penSolid = 0;
inline constexpr int penDotted = 1;

inline constexpr int alignLeft = 0;
inline constexpr int alignCenter = 1;
inline constexpr int alignRight = 2;

// Bits of pollButtons(); controls compare the whole set (33 is Alt with the left button).
inline constexpr int buttonLeft = 1;
inline constexpr int buttonMiddle = 2;
inline constexpr int buttonRight = 4;
inline constexpr int keyShift = 8;
inline constexpr int keyControl = 16;
inline constexpr int keyAlt = 32;

class Canvas {
public:
    Canvas(EditorFrame* frame, HDC deviceContext, HWND window);
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    virtual ~Canvas();

    void setPenColor(Color color);
    void setPenStyle(int style);
    void setPenWidth(int width);
    void setBrushColor(Color color);
    void setTextColor(Color color);
    void selectFont(FontId fontId, int size = 0);

    void moveTo(const Point& p);
    void lineTo(const Point& p);
    void drawPolyline(const Point* points, int count);
    void paintPolygon(const Point* points, int count);
    void outlineRect(const Rect& r);
    void paintRect(const Rect& r);
    void outlineEllipse(const Rect& r);
    void paintEllipse(const Rect& r);
    void outlineArc(const Rect& r, const Point& start, const Point& end);
    void paintPie(const Rect& r, const Point& start, const Point& end);
    void plotPoint(const Point& p, Color c);
    void writeText(const char* text, const Rect& r, short opaque, int align);

    int pollButtons();
    void pollCursor(Point& where);

    HDC getDeviceContext() const { return deviceContext; }
    EditorFrame* getFrame() const { return frame; }
    Color getPenColor() const { return penColor; }
    Color getBrushColor() const { return brushColor; }
    Color getTextColor() const { return textColor; }

protected:
    void rebuildPen();
    // Selects the null pen for a fill without outline and gives back the pen it displaced.
    HGDIOBJ selectNullPen();

    HDC deviceContext;
    HWND window;
    EditorFrame* frame;
    Color textColor = colorWhite;
    int penWidth = 1;
    Color penColor = colorWhite;
    Color brushColor = colorBlack;
    int penStyle = penSolid;
    HBRUSH brush = nullptr;
    HPEN pen = nullptr;
    HFONT font = nullptr;
    HGDIOBJ savedBrush = nullptr;
    HGDIOBJ savedPen = nullptr;
    HGDIOBJ savedFont = nullptr;
    int gdiPenStyle = PS_SOLID;
};
