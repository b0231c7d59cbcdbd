#include "gui/PopupMenuControl.h"

#include "gui/EditorFrame.h"
#include "gui/ResourceBitmap.h"
#include "gui/TextCopy.h"
#include "gui/WindowCanvas.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace {

constexpr const char* separatorText = "-";

} // namespace

PopupMenuControl::PopupMenuControl(const Rect& size, ValueListener* listener, int tag,
                                   ResourceBitmap* background, ResourceBitmap* pressedBackground,
                                   int style)
    : TextReadout(size, background, style), pressedBackground(pressedBackground) {
    this->listener = listener;
    this->tag = tag;
    ResourceBitmap::retainIfSet(pressedBackground);
}

PopupMenuControl::~PopupMenuControl() {
    PopupMenuControl::removeAllEntries(); // this class's own: derived parts are gone already
    ResourceBitmap::releaseIfSet(pressedBackground);
}

const char* PopupMenuControl::currentText() const {
    // With no current entry there is no text to show: the control shows the empty text.
    return validIndex(current) ? entries[current] : "";
}

void PopupMenuControl::draw(Canvas* canvas) {
    char text[textCapacity];
    std::snprintf(text, sizeof text, "%s", currentText());
    paintText(canvas, text, nullptr);
}

void PopupMenuControl::mouseDown(Canvas* canvas, Point&) {
    if (!mouseActive || canvas->pollButtons() != buttonLeft) {
        return;
    }
    if (pressedBackground != nullptr) {
        paintText(canvas, currentText(), pressedBackground);
    }
    if (frame == nullptr) {
        return;
    }
    frame->setFocusWidget(this);
    focusGained();
}

void PopupMenuControl::focusLost() {
    menu = nullptr;
}

bool PopupMenuControl::buildMenu() {
    menu = CreatePopupMenu();
    if (menu == nullptr) {
        return false;
    }
    const bool checkCurrent = (style & styleCheckCurrent) != 0;
    for (int i = 0; i < entryCount; ++i) {
        if (std::strcmp(entries[i], separatorText) == 0) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        } else {
            const UINT flags = checkCurrent && i == current ? MF_CHECKED : 0;
            AppendMenuA(menu, flags, static_cast<UINT_PTR>(i), entries[i]);
        }
    }
    return true;
}

int PopupMenuControl::takeChosenEntry(HWND window, BOOL tracked) {
    int chosen = -1;
    MSG message{};
    if (tracked && PeekMessageA(&message, window, WM_COMMAND, WM_COMMAND, PM_REMOVE) &&
        HIWORD(message.wParam) == 0 && validIndex(LOWORD(message.wParam))) {
        chosen = LOWORD(message.wParam);
    }
    // The click that closed the menu must not reach the frame as well.
    for (int i = 0; i < 2; ++i) {
        PeekMessageA(&message, window, WM_LBUTTONDOWN, WM_MBUTTONUP, PM_REMOVE);
    }
    return chosen;
}

void PopupMenuControl::focusGained() {
    if (frame == nullptr) {
        return;
    }
    HWND window = frame->getWindow();
    RECT origin{};
    GetWindowRect(window, &origin);
    int chosen = -1;
    if (buildMenu()) {
        const int x = origin.left + bounds.left;
        const int y = origin.top + ((style & styleMenuAtTop) != 0 ? bounds.top : bounds.bottom);
        const BOOL tracked = TrackPopupMenu(menu, 0, x, y, 0, window, nullptr);
        chosen = takeChosenEntry(window, tracked);
        DestroyMenu(menu);
        menu = nullptr;
    }
    frame->setFocusWidget(nullptr);
    if (chosen == -1 && pressedBackground == nullptr) {
        return;
    }
    WindowCanvas canvas(frame, window);
    if (canvas.get() == nullptr) {
        return;
    }
    if (chosen != -1) {
        current = chosen;
        if (listener != nullptr) {
            listener->valueChanged(canvas.get(), this);
        }
    }
    draw(canvas.get());
}

bool PopupMenuControl::addEntry(const char* text, int index) {
    if (entryCount >= maxEntries) {
        return false;
    }
    char* buffer = new (std::nothrow) char[textCapacity];
    if (buffer == nullptr) {
        return false;
    }
    copyTextCut(buffer, text, textCapacity);
    // Positions past the end have no entry to move aside: the text goes to the end.
    if (index < 0 || index > entryCount) {
        index = entryCount;
    }
    for (int i = entryCount; i > index; --i) {
        entries[i] = entries[i - 1];
    }
    entries[index] = buffer;
    if (current >= index) {
        ++current;
    }
    ++entryCount;
    if (current == -1) {
        current = 0;
    }
    return true;
}

int PopupMenuControl::getCurrent(char* text) {
    if (current != -1 && text != nullptr) {
        copyTextCut(text, currentText(), textCapacity);
    }
    return current;
}

bool PopupMenuControl::setCurrent(int index) {
    if (!validIndex(index) || std::strcmp(entries[index], separatorText) == 0) {
        return false;
    }
    current = index;
    drawnValue = value == 0.0f ? 1.0f : 0.0f;
    return true;
}

bool PopupMenuControl::getEntry(int index, char* text) {
    if (!validIndex(index)) {
        return false;
    }
    if (text != nullptr) {
        copyTextCut(text, entries[index], textCapacity);
    }
    return true;
}

bool PopupMenuControl::removeEntry(int index) {
    if (!validIndex(index)) {
        return false;
    }
    delete[] entries[index];
    for (int i = index; i < entryCount - 1; ++i) {
        entries[i] = entries[i + 1];
    }
    entries[entryCount - 1] = nullptr;
    if (current >= index) {
        --current;
    }
    --entryCount;
    if (entryCount == 0) {
        current = -1;
    }
    return true;
}

bool PopupMenuControl::removeAllEntries() {
    for (int i = 0; i < entryCount; ++i) {
        delete[] entries[i];
        entries[i] = nullptr;
    }
    entryCount = 0;
    current = -1;
    return true;
}

int PopupMenuControl::getEntryCount() {
    return entryCount;
}
