// Popup menus: building them, and TrackPopupMenu, which shows one in a window of its own and runs
// a modal loop until an item is chosen or the menu is dismissed.
#include "platform/BuiltInClasses.h"
#include "platform/Layer.h"

#include <algorithm>
#include <cstring>

using namespace win32layer;

namespace {

constexpr size_t maxMenuItems = 4096;
constexpr size_t maxItemTextLength = 4096;
constexpr int menuBorder = 1;
constexpr int checkColumnWidth = 22;
constexpr int textEndPadding = 22;
constexpr int itemPadding = 4; // above and below an item's text
constexpr int separatorHeight = 9;
constexpr int minimumMenuWidth = 60;

class MenuWindowState : public ClassState {
public:
    static constexpr Kind stateKind = Kind::menu;
    explicit MenuWindowState(TrackedMenu shown) : ClassState(stateKind), menu(std::move(shown)) {}
    TrackedMenu menu;
};

Menu* menuOf(Layer& layer, HMENU handle) {
    return layer.table.get<Menu>(handleValue(handle));
}

const MenuItem* itemOf(const Menu& menu, UINT item, UINT flags) {
    if (flags & MF_BYPOSITION)
        return item < menu.items.size() ? &menu.items[item] : nullptr;
    for (const MenuItem& candidate : menu.items)
        if (!candidate.separator() && candidate.id == item)
            return &candidate;
    return nullptr;
}

// Lays the items out one under another, in the menu font, and gives the window's size.
SIZE layOut(TrackedMenu& menu) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ previousFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SIZE line{};
    GetTextExtentPoint32A(dc, " ", 1, &line);
    int widest = 0;
    for (const MenuItem& item : menu.items) {
        SIZE size{};
        GetTextExtentPoint32A(dc, item.text.data(), int(item.text.size()), &size);
        widest = std::max(widest, int(size.cx));
    }
    SelectObject(dc, previousFont);
    ReleaseDC(nullptr, dc);

    const int width =
        std::max(minimumMenuWidth, 2 * menuBorder + checkColumnWidth + widest + textEndPadding);
    int top = menuBorder;
    menu.itemRects.clear();
    for (const MenuItem& item : menu.items) {
        const int height = item.separator() ? separatorHeight : int(line.cy) + 2 * itemPadding;
        menu.itemRects.push_back({menuBorder, top, width - menuBorder, top + height});
        top += height;
    }
    return {width, top + menuBorder};
}

// The menu's place on the screen for the alignment flags, moved to lie wholly on the screen.
RECT placeOnScreen(UINT flags, int x, int y, SIZE size) {
    int left = x, top = y;
    if (flags & TPM_RIGHTALIGN)
        left = x - size.cx;
    else if (flags & TPM_CENTERALIGN)
        left = x - size.cx / 2;
    if (flags & TPM_BOTTOMALIGN)
        top = y - size.cy;
    else if (flags & TPM_VCENTERALIGN)
        top = y - size.cy / 2;
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    if (left + size.cx > screenWidth)
        left = screenWidth - size.cx;
    if (top + size.cy > screenHeight)
        top = (y - size.cy >= 0) ? y - size.cy : screenHeight - size.cy; // open upwards
    left = std::max(left, 0);
    top = std::max(top, 0);
    return {left, top, left + size.cx, top + size.cy};
}

void drawCheckMark(HDC dc, const RECT& item) {
    const int x = item.left + checkColumnWidth / 2;
    const int y = (item.top + item.bottom) / 2;
    for (int thickness = 0; thickness < 2; ++thickness) {
        MoveToEx(dc, x - 4, y - 1 + thickness, nullptr);
        LineTo(dc, x - 1, y + 2 + thickness);
        LineTo(dc, x + 5, y - 4 + thickness);
    }
}

void drawItem(HDC dc, const MenuItem& item, const RECT& rect, bool highlighted, HPEN shadowPen) {
    if (item.separator()) {
        HGDIOBJ previousPen = SelectObject(dc, shadowPen);
        const int y = (rect.top + rect.bottom) / 2;
        MoveToEx(dc, rect.left + 2, y, nullptr);
        LineTo(dc, rect.right - 2, y);
        SelectObject(dc, previousPen);
        return;
    }
    int textColor = COLOR_MENUTEXT;
    if (!item.choosable())
        textColor = COLOR_GRAYTEXT;
    else if (highlighted)
        textColor = COLOR_HIGHLIGHTTEXT;
    if (highlighted && item.choosable())
        FillRect(dc, &rect, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(dc, GetSysColor(textColor));
    if (item.flags & MF_CHECKED) {
        HPEN checkPen = CreatePen(PS_SOLID, 1, GetSysColor(textColor));
        HGDIOBJ previousPen = SelectObject(dc, checkPen);
        drawCheckMark(dc, rect);
        SelectObject(dc, previousPen);
        DeleteObject(checkPen);
    }
    RECT textRect{rect.left + checkColumnWidth, rect.top, rect.right, rect.bottom};
    DrawTextA(dc, item.text.data(), int(item.text.size()), &textRect,
              DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
}

void paintMenu(HWND handle) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(handle, &paint);
    if (!dc)
        return;
    TrackedMenu menu;
    {
        Layer& layer = Layer::instance();
        auto guard = layer.lock();
        Window* window = layer.window(handle);
        auto* state = window ? window->stateAs<MenuWindowState>() : nullptr;
        if (state)
            menu = state->menu;
    }
    RECT client{};
    GetClientRect(handle, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_MENU));
    HPEN shadowPen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    HGDIOBJ previousPen = SelectObject(dc, shadowPen);
    const POINT outline[5] = {{0, 0},
                              {client.right - 1, 0},
                              {client.right - 1, client.bottom - 1},
                              {0, client.bottom - 1},
                              {0, 0}};
    Polyline(dc, outline, 5);
    SelectObject(dc, previousPen);
    HGDIOBJ previousFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    for (size_t i = 0; i < menu.items.size() && i < menu.itemRects.size(); ++i)
        drawItem(dc, menu.items[i], menu.itemRects[i], int(i) == menu.highlighted, shadowPen);
    SelectObject(dc, previousFont);
    DeleteObject(shadowPen);
    EndPaint(handle, &paint);
}

void setHighlight(HWND window, int item) {
    {
        Layer& layer = Layer::instance();
        auto guard = layer.lock();
        Window* shown = layer.window(window);
        auto* state = shown ? shown->stateAs<MenuWindowState>() : nullptr;
        if (!state || state->menu.highlighted == item)
            return;
        state->menu.highlighted = item;
        layer.invalidate(*shown, nullptr, false);
    }
    UpdateWindow(window);
}

bool anyButtonDown() {
    return GetAsyncKeyState(VK_LBUTTON) < 0 || GetAsyncKeyState(VK_RBUTTON) < 0 ||
           GetAsyncKeyState(VK_MBUTTON) < 0;
}

bool inputStillDriven() {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    return layer.input.driven();
}

// Follows the live input as a user works the menu: a release over an item chooses it (also at
// the end of the press that opened the menu), a press outside the menu dismisses it. The loop
// ends as dismissed once nothing will change the input any more, since then nobody can answer.
int followInput(const TrackedMenu& menu) {
    bool pressed = anyButtonDown();
    for (;;) {
        POINT cursor{};
        GetCursorPos(&cursor);
        const bool down = anyButtonDown();
        const bool driven = inputStillDriven();
        const int item =
            menu.itemAt(cursor.x - menu.screenRect.left, cursor.y - menu.screenRect.top);
        setHighlight(menu.window, item);
        if (pressed && !down) {
            pressed = false;
            if (item >= 0 && menu.items[size_t(item)].choosable())
                return item;
        } else if (!pressed && down) {
            const bool inside =
                cursor.x >= menu.screenRect.left && cursor.x < menu.screenRect.right &&
                cursor.y >= menu.screenRect.top && cursor.y < menu.screenRect.bottom;
            if (!inside)
                return -1;
            pressed = true;
        }
        if (!driven)
            return -1;
    }
}

int askHandlerOrUser(const TrackedMenu& menu) {
    std::function<int(const TrackedMenu&)> handler;
    {
        Layer& layer = Layer::instance();
        auto guard = layer.lock();
        handler = layer.menuHandler;
    }
    const int item = handler ? handler(menu) : followInput(menu);
    if (item < 0 || size_t(item) >= menu.items.size() || !menu.items[size_t(item)].choosable())
        return -1;
    return item;
}

// Takes the menu's items and marks the menu as tracked; false when it cannot be shown.
bool beginTracking(HMENU handle, HWND owner, TrackedMenu& menu) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    Menu* source = menuOf(layer, handle);
    if (!source || source->items.empty() || !layer.window(owner) || layer.menuTracking)
        return false;
    layer.menuTracking = true;
    menu.items = source->items;
    menu.owner = owner;
    return true;
}

void endTracking() {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    layer.menuTracking = false;
}

} // namespace

int TrackedMenu::itemAt(int x, int y) const {
    for (size_t i = 0; i < itemRects.size(); ++i) {
        const RECT& r = itemRects[i];
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom)
            return int(i);
    }
    return -1;
}

namespace win32layer {

LRESULT CALLBACK menuWindowProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE: {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        const auto* shown =
            create ? static_cast<const TrackedMenu*>(create->lpCreateParams) : nullptr;
        Layer& layer = Layer::instance();
        auto guard = layer.lock();
        Window* window = layer.window(handle);
        if (!window || !shown)
            return FALSE;
        window->classState = std::make_unique<MenuWindowState>(*shown);
        return TRUE;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        paintMenu(handle);
        return 0;
    default:
        return DefWindowProcA(handle, message, wParam, lParam);
    }
}

} // namespace win32layer

HMENU CreatePopupMenu() {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    return asHandle<HMENU>(layer.table.insert(std::make_unique<Menu>()));
}

BOOL AppendMenuA(HMENU handle, UINT flags, UINT_PTR id, LPCSTR text) {
    if (flags & MF_POPUP)
        return FALSE; // submenus are not offered
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    Menu* menu = menuOf(layer, handle);
    if (!menu || menu->items.size() >= maxMenuItems)
        return FALSE;
    MenuItem item;
    item.flags = flags;
    item.id = (flags & MF_SEPARATOR) ? 0 : id;
    if (!(flags & MF_SEPARATOR) && text)
        item.text.assign(text, strnlen(text, maxItemTextLength));
    menu->items.push_back(std::move(item));
    return TRUE;
}

BOOL DestroyMenu(HMENU handle) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    return layer.table.remove(handleValue(handle)) ? TRUE : FALSE;
}

BOOL IsMenu(HMENU handle) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    return menuOf(layer, handle) ? TRUE : FALSE;
}

int GetMenuItemCount(HMENU handle) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    Menu* menu = menuOf(layer, handle);
    return menu ? int(menu->items.size()) : -1;
}

UINT GetMenuState(HMENU handle, UINT item, UINT flags) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    Menu* menu = menuOf(layer, handle);
    const MenuItem* found = menu ? itemOf(*menu, item, flags) : nullptr;
    return found ? found->flags : UINT(-1);
}

int GetMenuStringA(HMENU handle, UINT item, LPSTR text, int capacity, UINT flags) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    Menu* menu = menuOf(layer, handle);
    const MenuItem* found = menu ? itemOf(*menu, item, flags) : nullptr;
    if (!found)
        return 0;
    if (!text || capacity <= 0)
        return int(found->text.size());
    const size_t copied = std::min(found->text.size(), size_t(capacity) - 1);
    std::memcpy(text, found->text.data(), copied);
    text[copied] = '\0';
    return int(copied);
}

BOOL TrackPopupMenu(HMENU handle, UINT flags, int x, int y, int, HWND owner, const RECT*) {
    TrackedMenu menu;
    if (!beginTracking(handle, owner, menu))
        return FALSE;
    const SIZE size = layOut(menu);
    menu.screenRect = placeOnScreen(flags, x, y, size);
    menu.window =
        CreateWindowExA(0, menuWindowClassName, "", WS_POPUP | WS_VISIBLE, menu.screenRect.left,
                        menu.screenRect.top, size.cx, size.cy, nullptr, nullptr, nullptr, &menu);
    if (!menu.window) {
        endTracking();
        return FALSE;
    }
    UpdateWindow(menu.window);
    const int chosen = askHandlerOrUser(menu);
    DestroyWindow(menu.window);
    endTracking();

    const UINT_PTR id = chosen >= 0 ? menu.items[size_t(chosen)].id : 0;
    if (flags & TPM_RETURNCMD)
        return BOOL(id);
    if (chosen >= 0 && !(flags & TPM_NONOTIFY))
        PostMessageA(owner, WM_COMMAND, MAKEWPARAM(LOWORD(id), 0), 0);
    return TRUE;
}
