#include "gui/EditorFrame.h"

#include "effect/ExtendedEffect.h"
#include "effect/Module.h"
#include "gui/Canvas.h"
#include "gui/GuiEditor.h"
#include "gui/ResourceBitmap.h"
#include "gui/ValueControl.h"
#include "gui/WindowCanvas.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

namespace {

constexpr std::int32_t widgetListGrowth = 10;
// Enclosing windows more than this much larger than the window inside are not resized with it.
constexpr int resizeSlack = 80;

// Fields of the window description sent to the host.
constexpr std::size_t requestTitle = 0;
constexpr std::size_t requestTitleCapacity = 128;
constexpr std::size_t requestX = 128;
constexpr std::size_t requestY = 130;
constexpr std::size_t requestWidth = 132;
constexpr std::size_t requestHeight = 134;
constexpr std::size_t requestStyle = 136;

void writeShort(unsigned char* record, std::size_t offset, std::int32_t value) {
    const auto low = static_cast<std::int16_t>(static_cast<std::uint16_t>(value & 0xFFFF));
    std::memcpy(record + offset, &low, sizeof low);
}

RECT windowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

// Shared by every frame of the module: one class registration for all of them.
char classNameBuffer[15] = "";
std::int32_t classUseCount = 0;

} // namespace

EditorFrame::EditorFrame(const Rect& bounds, void* systemWindow, GuiEditor* editor)
    : Widget(bounds), editor(editor), systemWindow(systemWindow) {
    createChildWindow(systemWindow);
    // Without a window there is nothing to draw into: the frame reports itself closed.
    open = window != nullptr;
}

EditorFrame::EditorFrame(const Rect& bounds, const char* title, GuiEditor* editor, int style)
    : Widget(bounds), editor(editor), systemWindow(nullptr), open(false), usesHostWindow(true),
      hostWindowRequest(new (std::nothrow) unsigned char[hostWindowRequestSize]()) {
    if (hostWindowRequest == nullptr) {
        return;
    }
    if (title != nullptr) {
        const std::size_t length = strnlen(title, requestTitleCapacity - 1);
        std::memcpy(hostWindowRequest + requestTitle, title, length);
    }
    writeShort(hostWindowRequest, requestX, bounds.left);
    writeShort(hostWindowRequest, requestY, bounds.top);
    writeShort(hostWindowRequest, requestWidth, bounds.getWidth());
    writeShort(hostWindowRequest, requestHeight, bounds.getHeight());
    const auto styleBits = static_cast<std::uint32_t>(style);
    std::memcpy(hostWindowRequest + requestStyle, &styleBits, sizeof styleBits);
}

EditorFrame::~EditorFrame() {
    if (focusWidget != nullptr) {
        focusWidget->focusLost();
        focusWidget = nullptr;
    }
    for (std::int32_t i = 0; i < widgetCount; ++i) {
        delete widgets[i];
    }
    delete[] widgets;
    delete[] valueControls;
    if (background != nullptr) {
        background->release();
    }
    if (window != nullptr) {
        // Messages sent while the window goes must no longer reach this frame.
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        DestroyWindow(window);
        unregisterFrameWindowClass();
    }
    if (usesHostWindow) {
        closeHostWindow();
    }
    delete[] hostWindowRequest;
}

const char* EditorFrame::windowClassName() {
    return classNameBuffer;
}

std::int32_t EditorFrame::windowClassUseCount() {
    return classUseCount;
}

bool EditorFrame::registerFrameWindowClass() {
    if (++classUseCount != 1) {
        return true;
    }
    // The module's load address in the name keeps the classes of different modules apart.
    std::snprintf(classNameBuffer, sizeof classNameBuffer, "Plugin%08x",
                  static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(moduleHandle)));
    WNDCLASSA windowClass{};
    windowClass.style = 0;
    windowClass.lpfnWndProc = &EditorFrame::frameWindowProcedure;
    windowClass.hInstance = moduleHandle;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = classNameBuffer;
    RegisterClassA(&windowClass);
    return true;
}

void EditorFrame::unregisterFrameWindowClass() {
    if (--classUseCount == 0) {
        UnregisterClassA(classNameBuffer, moduleHandle);
    }
}

bool EditorFrame::createChildWindow(void* parent) {
    if (parent == nullptr) {
        return false;
    }
    registerFrameWindowClass();
    window = CreateWindowExA(0, classNameBuffer, "Window", WS_CHILD | WS_VISIBLE, 0, 0,
                             bounds.getWidth(), bounds.getHeight(), static_cast<HWND>(parent),
                             nullptr, moduleHandle, nullptr);
    if (window == nullptr) {
        unregisterFrameWindowClass();
        return false;
    }
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    return true;
}

LRESULT CALLBACK EditorFrame::frameWindowProcedure(HWND window, UINT message, WPARAM wParam,
                                                   LPARAM lParam) {
    auto* frame = reinterpret_cast<EditorFrame*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (frame != nullptr) {
        switch (message) {
        case WM_PAINT:
            frame->paintMessage();
            break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
            frame->pressMessage(lParam);
            break;
        case WM_DESTROY:
            frame->destroyMessage();
            break;
        default:
            break;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void EditorFrame::paintMessage() {
    RECT updateArea{};
    if (!GetUpdateRect(window, &updateArea, FALSE)) {
        return;
    }
    PAINTSTRUCT paint{};
    HDC context = BeginPaint(window, &paint);
    {
        std::unique_ptr<Canvas> canvas(new (std::nothrow) Canvas(this, context, window));
        // The whole frame is drawn; the paint context clips it to the update region.
        if (canvas) {
            draw(canvas.get());
        }
    }
    EndPaint(window, &paint);
}

void EditorFrame::pressMessage(LPARAM lParam) {
    WindowCanvas canvas(this, window);
    if (canvas.get() == nullptr) {
        return;
    }
    const auto bits = static_cast<std::uint32_t>(lParam);
    Point where(static_cast<std::int32_t>(bits & 0xFFFF),
                static_cast<std::int32_t>((bits >> 16) & 0xFFFF));
    mouseDown(canvas.get(), where);
}

void EditorFrame::destroyMessage() {
    open = false;
    systemWindow = nullptr;
}

bool EditorFrame::growWidgetList() {
    const auto capacity = static_cast<std::size_t>(widgetCapacity + widgetListGrowth);
    std::unique_ptr<Widget*[]> grown(new (std::nothrow) Widget*[capacity]);
    std::unique_ptr<ValueControl*[]> grownControls(new (std::nothrow) ValueControl*[capacity]);
    if (!grown || !grownControls) {
        return false;
    }
    const auto count = static_cast<std::size_t>(widgetCount);
    if (count > 0) {
        std::memcpy(grown.get(), widgets, sizeof(Widget*) * count);
        std::memcpy(grownControls.get(), valueControls, sizeof(ValueControl*) * count);
    }
    delete[] widgets;
    delete[] valueControls;
    widgets = grown.release();
    valueControls = grownControls.release();
    widgetCapacity += widgetListGrowth;
    return true;
}

bool EditorFrame::addWidget(Widget* widget) {
    if (widgetCount == widgetCapacity && !growWidgetList()) {
        return false;
    }
    widgets[widgetCount] = widget;
    valueControls[widgetCount] = dynamic_cast<ValueControl*>(widget);
    ++widgetCount;
    widget->frame = this;
    return true;
}

bool EditorFrame::removeWidget(Widget* widget) {
    for (std::int32_t i = 0; i < widgetCount; ++i) {
        if (widgets[i] == widget) {
            const auto following = static_cast<std::size_t>(widgetCount - i - 1);
            std::memmove(&widgets[i], &widgets[i + 1], sizeof(Widget*) * following);
            std::memmove(&valueControls[i], &valueControls[i + 1],
                         sizeof(ValueControl*) * following);
            --widgetCount;
            break;
        }
    }
    return true;
}

Widget* EditorFrame::getWidget(std::int32_t index) const {
    return index >= 0 && index < widgetCount ? widgets[index] : nullptr;
}

void EditorFrame::draw(Canvas* canvas) {
    firstPaintPending = false;
    if (background != nullptr) {
        background->paint(canvas, Rect(0, 0, background->getWidth(), background->getHeight()),
                          Point(0, 0));
    }
    for (std::int32_t i = 0; i < widgetCount; ++i) {
        widgets[i]->draw(canvas);
    }
    if (modalWidget != nullptr) {
        modalWidget->draw(canvas);
    }
}

void EditorFrame::mouseDown(Canvas* canvas, Point& where) {
    if (focusWidget != nullptr && !where.liesIn(focusWidget->getBounds())) {
        focusWidget->focusLost();
        focusWidget = nullptr;
    }
    if (modalWidget != nullptr) {
        if (where.liesIn(modalWidget->getBounds())) {
            modalWidget->mouseDown(canvas, where);
        }
        return;
    }
    // The most recently added widget under the cursor gets the press.
    for (std::int32_t i = widgetCount - 1; i >= 0; --i) {
        if (where.liesIn(widgets[i]->getBounds())) {
            widgets[i]->mouseDown(canvas, where);
            return;
        }
    }
}

void EditorFrame::update(Canvas* canvas) {
    if (!open) {
        return;
    }
    if (modalWidget != nullptr) {
        modalWidget->update(canvas);
        return;
    }
    for (std::int32_t i = 0; i < widgetCount; ++i) {
        widgets[i]->update(canvas);
    }
}

void EditorFrame::drawWidgetNow(Widget* widget) {
    // A null window would mean the whole screen.
    if (window == nullptr) {
        return;
    }
    Widget* found = widget != nullptr && isListed(widget) ? widget : nullptr;
    WindowCanvas canvas(this, window);
    if (canvas.get() == nullptr) {
        return;
    }
    if (found != nullptr) {
        found->draw(canvas.get());
    } else {
        draw(canvas.get());
    }
}

bool EditorFrame::updatePassWouldDraw() const {
    for (std::int32_t i = 0; i < widgetCount; ++i) {
        if (modalWidget != nullptr && widgets[i] != modalWidget) {
            continue;
        }
        if (valueControls[i] == nullptr || valueControls[i]->isOutOfDate()) {
            return true;
        }
    }
    // A modal widget outside the list is not known to be up to date.
    return modalWidget != nullptr && !isListed(modalWidget);
}

bool EditorFrame::isListed(const Widget* widget) const {
    for (std::int32_t i = 0; i < widgetCount; ++i) {
        if (widgets[i] == widget) {
            return true;
        }
    }
    return false;
}

void EditorFrame::idle() {
    if (!open || firstPaintPending || window == nullptr || !updatePassWouldDraw()) {
        return;
    }
    WindowCanvas canvas(this, window);
    if (canvas.get() != nullptr) {
        update(canvas.get());
    }
}

bool EditorFrame::setModalWidget(Widget* widget) {
    if (widget != nullptr && modalWidget != nullptr) {
        return false;
    }
    modalWidget = widget;
    return true;
}

void EditorFrame::setBackground(ResourceBitmap* bitmap) {
    if (bitmap != nullptr) {
        bitmap->retain();
    }
    if (background != nullptr) {
        background->release();
    }
    background = bitmap;
}

ExtendedEffect* EditorFrame::hostServices() const {
    if (editor == nullptr) {
        return nullptr;
    }
    return dynamic_cast<ExtendedEffect*>(editor->getEffect());
}

bool EditorFrame::openHostWindow(const Point* position) {
    if (!usesHostWindow || hostWindowRequest == nullptr) {
        return false;
    }
    if (open) {
        BringWindowToTop(GetParent(GetParent(window)));
        return false;
    }
    if (position != nullptr) {
        writeShort(hostWindowRequest, requestX, position->h);
        writeShort(hostWindowRequest, requestY, position->v);
    }
    ExtendedEffect* services = hostServices();
    systemWindow = services != nullptr ? services->requestWindow(hostWindowRequest) : nullptr;
    if (systemWindow != nullptr && createChildWindow(systemWindow)) {
        open = true;
    }
    return open;
}

bool EditorFrame::closeHostWindow() {
    if (!usesHostWindow || !open || systemWindow == nullptr) {
        return false;
    }
    if (ExtendedEffect* services = hostServices()) {
        services->releaseWindow(hostWindowRequest);
    }
    systemWindow = nullptr;
    return true;
}

bool EditorFrame::getPosition(int& x, int& y) {
    if (!open) {
        return false;
    }
    HWND enclosing = GetParent(GetParent(window));
    const RECT rect = windowRect(enclosing);
    POINT corner{rect.left, rect.top};
    MapWindowPoints(nullptr, GetParent(enclosing), &corner, 1);
    x = corner.x;
    y = corner.y;
    return true;
}

bool EditorFrame::getSize(Rect& rect) {
    if (!open) {
        return false;
    }
    HWND parent = GetParent(window);
    const RECT outer = windowRect(parent);
    POINT corner{outer.left, outer.top};
    MapWindowPoints(nullptr, GetParent(GetParent(parent)), &corner, 1);
    rect = Rect(corner.x, corner.y, corner.x + (outer.right - outer.left),
                corner.y + (outer.bottom - outer.top));
    return true;
}

// Each enclosing window keeps the margin it had around the window inside it; the walk stops at
// the first one whose margin is larger than a frame's border.
bool EditorFrame::setSize(int width, int height) {
    if (!open || (width == bounds.getWidth() && height == bounds.getHeight())) {
        return false;
    }
    bounds.right = bounds.left + width;
    bounds.bottom = bounds.top + height;
    const int limit = 2 * GetSystemMetrics(SM_CYDLGFRAME);
    int dx = 0;
    int dy = 0;
    HWND w = window;
    while (dx != limit && w != nullptr) {
        const RECT inner = windowRect(w);
        const RECT outer = windowRect(GetParent(w));
        SetWindowPos(w, nullptr, 0, 0, width + dx, height + dy, SWP_NOMOVE);
        dx = (outer.right - outer.left) - (inner.right - inner.left);
        dy = (outer.bottom - outer.top) - (inner.bottom - inner.top);
        if (dx > resizeSlack || dy > resizeSlack) {
            return true;
        }
        w = GetParent(w);
    }
    if (w != nullptr) {
        SetWindowPos(w, nullptr, 0, 0, width + dx, height + dy, SWP_NOMOVE);
    }
    return true;
}
