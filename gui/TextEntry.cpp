#include "gui/TextEntry.h"

#include "effect/Module.h"
#include "gui/EditorFrame.h"
#include "gui/TextCopy.h"
#include "gui/WindowCanvas.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr DWORD editStyle = WS_CHILD | WS_VISIBLE | ES_CENTER | ES_AUTOHSCROLL;
// GetWindowTextA's buffer size when the edit closes: at most 254 characters come back.
constexpr int editReadCapacity = 255;

// The edit control's own procedure from before the entry subclassed it. One edit is open at a
// time (it holds the frame's focus), so one slot serves the module.
WNDPROC savedEditProcedure = nullptr;

} // namespace

TextEntry::TextEntry(const Rect& size, ValueListener* listener, int tag, const char* text,
                     ResourceBitmap* background, int style)
    : TextReadout(size, background, style) {
    this->listener = listener;
    this->tag = tag;
    copyTextCut(this->text, text, textCapacity);
}

TextEntry::~TextEntry() {
    // The frame ends the focus before it deletes its widgets. An entry deleted while still
    // editing takes its edit control with it, so that no later message reaches a dead entry.
    if (editWindow != nullptr) {
        SetWindowLongPtrA(editWindow, GWLP_USERDATA, 0);
        DestroyWindow(editWindow);
        editWindow = nullptr;
    }
    if (editFont != nullptr) {
        DeleteObject(editFont);
        editFont = nullptr;
    }
    if (frame != nullptr && frame->getFocusWidget() == this) {
        frame->setFocusWidget(nullptr);
    }
}

void TextEntry::draw(Canvas* canvas) {
    char display[textCapacity] = "";
    if (textToText != nullptr) {
        textToText(text, display);
        display[textCapacity - 1] = '\0';
    } else {
        std::snprintf(display, sizeof display, "%s", text);
    }
    paintText(canvas, display, nullptr);
}

void TextEntry::mouseDown(Canvas* canvas, Point&) {
    if (!mouseActive || canvas->pollButtons() != buttonLeft || frame == nullptr ||
        frame->getFocusWidget() == this) {
        return;
    }
    frame->setFocusWidget(this);
    focusGained();
}

HFONT TextEntry::createEditFont() const {
    // Unlike the canvas's fonts, the edit's font is never bold and never decorative.
    const FontDescription& row = fontDescription(fontId);
    LOGFONTA description{};
    description.lfHeight = -row.height;
    description.lfWeight = FW_NORMAL;
    description.lfCharSet = ANSI_CHARSET;
    description.lfOutPrecision = OUT_STRING_PRECIS;
    description.lfClipPrecision = CLIP_STROKE_PRECIS;
    description.lfQuality = DEFAULT_QUALITY;
    description.lfPitchAndFamily = FF_SWISS | VARIABLE_PITCH;
    copyTextCut(description.lfFaceName, row.face, LF_FACESIZE);
    return CreateFontIndirectA(&description);
}

void TextEntry::focusGained() {
    if (frame == nullptr || editWindow != nullptr) {
        return;
    }
    // One pixel wider and taller than the readout, so that it also covers the outline's right and
    // bottom edges. The text is always centred in the edit, whatever the readout's alignment.
    editWindow =
        CreateWindowExA(0, "EDIT", text, editStyle, bounds.left, bounds.top, bounds.getWidth() + 1,
                        bounds.getHeight() + 1, frame->getWindow(), nullptr, moduleHandle, nullptr);
    if (editWindow == nullptr) {
        return;
    }
    editFont = createEditFont();
    SetWindowLongPtrA(editWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SendMessageA(editWindow, WM_SETFONT, reinterpret_cast<WPARAM>(editFont), TRUE);
    SendMessageA(editWindow, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    SetFocus(editWindow);
    savedEditProcedure = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        editWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TextEntry::editWindowProcedure)));
}

LRESULT CALLBACK TextEntry::editWindowProcedure(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
    const bool closing = message == WM_KILLFOCUS || (message == WM_KEYDOWN && wParam == VK_RETURN);
    if (closing) {
        auto* entry = reinterpret_cast<TextEntry*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (entry != nullptr) {
            entry->focusLost();
            if (EditorFrame* frame = entry->getFrame()) {
                frame->setFocusWidget(nullptr);
            }
            // The window is gone: the message that closed it goes no further.
            return 0;
        }
    }
    return CallWindowProcA(savedEditProcedure, window, message, wParam, lParam);
}

void TextEntry::focusLost() {
    if (editWindow == nullptr) {
        return;
    }
    char previous[textCapacity];
    std::memcpy(previous, text, sizeof previous);
    // Detached before it is destroyed: destroying the focused edit sends it one more focus loss,
    // which must not close it a second time.
    HWND closing = editWindow;
    editWindow = nullptr;
    SetWindowLongPtrA(closing, GWLP_USERDATA, 0);
    GetWindowTextA(closing, text, editReadCapacity);
    DestroyWindow(closing);
    if (editFont != nullptr) {
        DeleteObject(editFont);
        editFont = nullptr;
    }
    if (frame == nullptr) {
        return;
    }
    frame->setFocusWidget(nullptr);
    WindowCanvas canvas(frame, frame->getWindow());
    if (canvas.get() == nullptr) {
        return;
    }
    if (std::strcmp(text, previous) != 0 && listener != nullptr) {
        listener->valueChanged(canvas.get(), this);
    }
    draw(canvas.get());
}

void TextEntry::setText(const char* newText) {
    if (newText == nullptr) {
        return;
    }
    copyTextCut(text, newText, textCapacity);
    drawnValue = value == 0.0f ? 1.0f : 0.0f;
}

void TextEntry::getText(char* out) {
    if (out != nullptr) {
        copyTextCut(out, text, textCapacity);
    }
}

void TextEntry::setTextToText(TextToTextFn function) {
    textToText = function;
}
