// Popup menus as the layer keeps them, and what a tracked menu shows.
#pragma once

#include "platform/HandleTable.h"
#include "platform/Win32Api.h"

#include <string>
#include <vector>

namespace win32layer {

struct MenuItem {
    UINT flags = 0; // MF_ flags: separator, checked, grayed, disabled
    UINT_PTR id = 0;
    std::string text;

    bool separator() const { return (flags & MF_SEPARATOR) != 0; }
    bool choosable() const { return !separator() && !(flags & (MF_GRAYED | MF_DISABLED)); }
};

class Menu : public LayerObject {
public:
    static constexpr ObjectKind objectKind = ObjectKind::menu;
    Menu() : LayerObject(objectKind) {}

    std::vector<MenuItem> items;
};

// A menu while TrackPopupMenu shows it: its window and where each item lies in it.
struct TrackedMenu {
    HWND window = nullptr;
    HWND owner = nullptr;
    RECT screenRect{};           // the menu window on the screen
    std::vector<MenuItem> items; // in order
    std::vector<RECT> itemRects; // client coordinates of the menu window, one per item
    int highlighted = -1;        // the item under the cursor, -1 for none

    // The item whose rectangle holds the client point, -1 for none.
    int itemAt(int x, int y) const;
};

} // namespace win32layer
