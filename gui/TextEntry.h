// A readout that shows a text instead of a number and lets the user edit it in place, through a
// native edit control laid over the readout while editing.
#pragma once

#include "gui/TextReadout.h"

// Writes the text to show for a stored text into a 256-character buffer that starts out empty.
using TextToTextFn = void (*)(const char* text, char* display);

class TextEntry : public TextReadout {
public:
    // A null text starts the entry empty; longer texts are cut to textCapacity - 1 characters.
    TextEntry(const Rect& size, ValueListener* listener, int tag, const char* text,
              ResourceBitmap* background, int style);
    ~TextEntry() override;

    void draw(Canvas* canvas) override;
    void mouseDown(Canvas* canvas, Point& where) override;
    void focusLost() override;
    void focusGained() override;
    virtual void setText(const char* newText);
    // Copies the text into out, which holds textCapacity characters.
    virtual void getText(char* out);
    virtual void setTextToText(TextToTextFn function);

    bool isEditing() const { return editWindow != nullptr; }
    HWND getEditWindow() const { return editWindow; }

    static constexpr int textCapacity = 256;

private:
    static LRESULT CALLBACK editWindowProcedure(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam);
    HFONT createEditFont() const;

    HWND editWindow = nullptr;
    HFONT editFont = nullptr;
    char text[textCapacity];
    TextToTextFn textToText = nullptr;
};
