// The editor's window: a child window inside the host's window that paints the background and
// the widgets, routes mouse presses to one widget and runs the update passes.
#pragma once

#include "gui/Widget.h"
#include "platform/win32.h"

#include <cstdint>

class ExtendedEffect;
class GuiEditor;
class ResourceBitmap;
class ValueControl;

class EditorFrame : public Widget {
public:
    // Creates the child window inside systemWindow at once.
    EditorFrame(const Rect& bounds, void* systemWindow, GuiEditor* editor);
    // Host-window mode: openHostWindow has the host open a window, then creates the child in it.
    EditorFrame(const Rect& bounds, const char* title, GuiEditor* editor, int style);
    ~EditorFrame() override;

    void draw(Canvas* canvas) override;
    void mouseDown(Canvas* canvas, Point& where) override;
    void update(Canvas* canvas) override;
    virtual bool addWidget(Widget* widget);
    virtual bool removeWidget(Widget* widget);

    void drawWidgetNow(Widget* widget);
    // The update pass the editor idle starts; nothing happens before the first full paint.
    void idle();
    bool setModalWidget(Widget* widget);
    Widget* getModalWidget() const { return modalWidget; }
    void setFocusWidget(Widget* widget) { focusWidget = widget; }
    Widget* getFocusWidget() const { return focusWidget; }
    void setBackground(ResourceBitmap* bitmap);
    ResourceBitmap* getBackground() const { return background; }
    HWND getWindow() const { return window; }
    // The frame keeps no device context of its own.
    HDC getDeviceContext() const { return nullptr; }
    GuiEditor* getEditor() const { return editor; }
    void* getSystemWindow() const { return systemWindow; }
    bool isOpen() const { return open; }
    bool isFirstPaintPending() const { return firstPaintPending; }
    std::int32_t getWidgetCount() const { return widgetCount; }
    std::int32_t getWidgetCapacity() const { return widgetCapacity; }
    Widget* getWidget(std::int32_t index) const;

    // Host-window mode: the host opens (or, when already open, raises) its window.
    bool openHostWindow(const Point* position);
    bool closeHostWindow();
    // Placement of the enclosing windows; false when the frame is not open.
    bool getPosition(int& x, int& y);
    bool getSize(Rect& rect);
    // Resizes the frame and its enclosing windows up to the first one that is clearly larger.
    bool setSize(int width, int height);
    const unsigned char* getHostWindowRequest() const { return hostWindowRequest; }

    // The size of the window description sent to the host in host-window mode.
    static constexpr int hostWindowRequestSize = 256;

    // The name of the module's window class, "Plugin" and eight hexadecimal digits.
    static const char* windowClassName();
    static std::int32_t windowClassUseCount();

private:
    static LRESULT CALLBACK frameWindowProcedure(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam);
    static bool registerFrameWindowClass();
    static void unregisterFrameWindowClass();
    bool createChildWindow(void* parent);
    bool growWidgetList();
    // False when no widget's update would draw: every widget is a value control showing its
    // value. Spares the idle pass its device context and canvas.
    bool updatePassWouldDraw() const;
    bool isListed(const Widget* widget) const;
    // The effect's requests to the host, for the host-window mode.
    ExtendedEffect* hostServices() const;
    void paintMessage();
    void pressMessage(LPARAM lParam);
    void destroyMessage();

    GuiEditor* editor;
    void* systemWindow;
    ResourceBitmap* background = nullptr;
    std::int32_t widgetCount = 0;
    std::int32_t widgetCapacity = 0;
    Widget** widgets = nullptr;
    // For each entry of widgets, the widget as a value control, or null for any other widget.
    ValueControl** valueControls = nullptr;
    Widget* modalWidget = nullptr;
    Widget* focusWidget = nullptr;
    bool firstPaintPending = true;
    bool open = true;
    HWND window = nullptr;
    bool usesHostWindow = false;
    unsigned char* hostWindowRequest = nullptr;
};
