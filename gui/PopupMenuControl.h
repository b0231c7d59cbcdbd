// A readout that holds a list of text entries, shows the current one and, on a click, offers all
// of them in a native popup menu. Entries whose text is "-" show as separator lines.
#pragma once

#include "gui/TextReadout.h"

// The menu opens over the control instead of below it.
inline constexpr int styleMenuAtTop = 0x200;
// The current entry carries a check mark in the menu.
inline constexpr int styleCheckCurrent = 0x400;

class PopupMenuControl : public TextReadout {
public:
    PopupMenuControl(const Rect& size, ValueListener* listener, int tag, ResourceBitmap* background,
                     ResourceBitmap* pressedBackground, int style);
    ~PopupMenuControl() override;

    void draw(Canvas* canvas) override;
    void mouseDown(Canvas* canvas, Point& where) override;
    void focusLost() override;
    void focusGained() override;
    // Inserts at index (0 to the entry count; a negative index or one past the end appends).
    // Texts are cut to textCapacity - 1 characters. False when the list is full.
    virtual bool addEntry(const char* text, int index);
    // The current entry's index, -1 for none; its text goes to text (textCapacity characters).
    virtual int getCurrent(char* text);
    virtual bool setCurrent(int index);
    virtual bool getEntry(int index, char* text);
    virtual bool removeEntry(int index);
    virtual bool removeAllEntries();
    virtual int getEntryCount();

    HMENU getMenu() const { return menu; }

    static constexpr int maxEntries = 128;
    static constexpr int textCapacity = 256;

private:
    bool validIndex(int index) const { return index >= 0 && index < entryCount; }
    const char* currentText() const;
    bool buildMenu();
    // The entry the user chose in the menu that just closed, -1 for none.
    int takeChosenEntry(HWND window, BOOL tracked);

    HMENU menu = nullptr;
    char* entries[maxEntries] = {};
    std::int32_t entryCount = 0;
    std::int32_t current = -1;
    ResourceBitmap* pressedBackground;
};
