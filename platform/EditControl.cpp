// The built-in single-line "EDIT" control: its text, caret and selection, typing through key and
// character messages, its font and margins, and its painting. As the system's own control does, a
// new control, and one whose text was just set, has its caret before the text, so that the start
// of a long text is what shows. It sends no notifications to its parent and keeps no undo.
#include "platform/BuiltInClasses.h"
#include "platform/Layer.h"

#include <algorithm>
#include <string>
#include <vector>

using namespace win32layer;

namespace {

// Typing stops at this many characters unless EM_LIMITTEXT says otherwise.
constexpr size_t defaultTextLimit = 30000;
constexpr size_t unlimitedText = 0x7FFFFFFE;
constexpr char backspaceCharacter = 0x08;
constexpr char selectAllCharacter = 0x01; // Ctrl+A
constexpr char deleteCharacter = 0x7F;

class EditState : public ClassState {
public:
    static constexpr Kind stateKind = Kind::edit;
    EditState() : ClassState(stateKind) {}

    HFONT font = nullptr;
    int leftMargin = 0;
    int rightMargin = 0;
    size_t anchor = 0; // where the selection starts; equal to caret when nothing is selected
    size_t caret = 0;  // where typing happens
    size_t limit = defaultTextLimit;
    int64_t scroll = 0; // pixels scrolled out at the left while the text is wider than the control

    size_t selectionStart() const { return std::min(anchor, caret); }
    size_t selectionEnd() const { return std::max(anchor, caret); }
    bool hasSelection() const { return anchor != caret; }
    void placeCaret(size_t position, bool extendSelection) {
        caret = position;
        if (!extendSelection)
            anchor = position;
    }
};

// Everything painting and hit-testing need, copied out under the layer's lock.
struct EditView {
    std::string text;
    EditState state;
    DWORD style = 0;
    bool focused = false;
    int width = 0;
    int height = 0;
};

// Where the text lies in the control, measured with the control's font.
struct EditLayout {
    std::vector<int64_t> offsets; // x of each caret position, 0 .. text length, from the origin
    int64_t origin = 0;
    int64_t lineHeight = 0;
    int64_t scroll = 0;

    int64_t xOf(size_t position) const { return origin + offsets[position]; }
};

EditState* stateOf(Layer& layer, HWND handle) {
    Window* window = layer.window(handle);
    return window ? window->stateAs<EditState>() : nullptr;
}

bool snapshot(HWND handle, EditView& view) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    Window* window = layer.window(handle);
    EditState* state = stateOf(layer, handle);
    if (!window || !state)
        return false;
    view.text = window->text;
    view.state = *state;
    view.style = window->style;
    view.focused = layer.focus == handleValue(handle);
    view.width = int(window->client.width);
    view.height = int(window->client.height);
    return true;
}

// Changes the control's state under the layer's lock and repaints it when the change says so.
template <typename Change> void changeEdit(HWND handle, Change&& change) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    Window* window = layer.window(handle);
    EditState* state = stateOf(layer, handle);
    if (window && state && change(*window, *state))
        layer.invalidate(*window, nullptr, false);
}

void replaceSelection(std::string& text, EditState& state, std::string_view typed) {
    const size_t start = std::min(state.selectionStart(), text.size());
    const size_t end = std::min(state.selectionEnd(), text.size());
    text.erase(start, end - start);
    const size_t room = state.limit > text.size() ? state.limit - text.size() : 0;
    const std::string_view kept = typed.substr(0, std::min(room, typed.size()));
    text.insert(start, kept);
    state.placeCaret(start + kept.size(), false);
}

void typeCharacter(HWND handle, char character) {
    changeEdit(handle, [character](Window& window, EditState& state) {
        std::string& text = window.text;
        if (character == selectAllCharacter) {
            state.anchor = 0;
            state.caret = text.size();
        } else if (character == backspaceCharacter) {
            if (!state.hasSelection() && state.caret > 0)
                state.anchor = state.caret - 1;
            replaceSelection(text, state, {});
        } else if (static_cast<unsigned char>(character) >= 0x20 && character != deleteCharacter) {
            replaceSelection(text, state, std::string_view(&character, 1));
        } else {
            return false; // Return, Tab, Escape and other control characters do not edit one line
        }
        return true;
    });
}

void pressKey(HWND handle, int key) {
    const bool shift = GetAsyncKeyState(VK_SHIFT) < 0;
    changeEdit(handle, [key, shift](Window& window, EditState& state) {
        const size_t length = window.text.size();
        switch (key) {
        case VK_LEFT:
            if (state.hasSelection() && !shift)
                state.placeCaret(state.selectionStart(), false);
            else
                state.placeCaret(state.caret > 0 ? state.caret - 1 : 0, shift);
            return true;
        case VK_RIGHT:
            if (state.hasSelection() && !shift)
                state.placeCaret(state.selectionEnd(), false);
            else
                state.placeCaret(std::min(state.caret + 1, length), shift);
            return true;
        case VK_HOME:
            state.placeCaret(0, shift);
            return true;
        case VK_END:
            state.placeCaret(length, shift);
            return true;
        case VK_DELETE:
            if (!state.hasSelection() && state.caret < length)
                state.anchor = state.caret + 1;
            replaceSelection(window.text, state, {});
            return true;
        default:
            return false;
        }
    });
}

void setSelection(HWND handle, WPARAM start, LPARAM end) {
    changeEdit(handle, [start, end](Window& window, EditState& state) {
        const size_t length = window.text.size();
        if (int(start) == -1) {
            state.anchor = state.caret; // takes the selection away, leaves the caret
            return true;
        }
        state.anchor = std::min(size_t(start), length);
        state.caret = int(end) == -1 ? length : std::min(size_t(DWORD(end)), length);
        return true;
    });
}

LRESULT selection(HWND handle, WPARAM startOut, LPARAM endOut) {
    EditView view;
    if (!snapshot(handle, view))
        return 0;
    const auto start = DWORD(view.state.selectionStart());
    const auto end = DWORD(view.state.selectionEnd());
    if (auto* out = reinterpret_cast<DWORD*>(startOut))
        *out = start;
    if (auto* out = reinterpret_cast<DWORD*>(endOut))
        *out = end;
    return LRESULT(MAKELONG(std::min<DWORD>(start, 0xFFFF), std::min<DWORD>(end, 0xFFFF)));
}

void setMargins(HWND handle, WPARAM which, LPARAM margins) {
    changeEdit(handle, [which, margins](Window&, EditState& state) {
        // Margins from the font's own measures are taken as none: our fonts carry no overhang.
        const bool fromFont = which == EC_USEFONTINFO;
        if (fromFont || (which & EC_LEFTMARGIN))
            state.leftMargin = fromFont ? 0 : int(LOWORD(margins));
        if (fromFont || (which & EC_RIGHTMARGIN))
            state.rightMargin = fromFont ? 0 : int(HIWORD(margins));
        return true;
    });
}

EditLayout layoutOf(HDC dc, const EditView& view) {
    EditLayout layout;
    layout.offsets.reserve(view.text.size() + 1);
    layout.offsets.push_back(0);
    for (char character : view.text) {
        SIZE size{};
        GetTextExtentPoint32A(dc, &character, 1, &size);
        layout.offsets.push_back(layout.offsets.back() + size.cx);
    }
    SIZE line{};
    GetTextExtentPoint32A(dc, " ", 1, &line);
    layout.lineHeight = line.cy;

    const int64_t areaLeft = view.state.leftMargin;
    const int64_t areaWidth =
        std::max<int64_t>(0, int64_t(view.width) - view.state.rightMargin - areaLeft);
    const int64_t textWidth = layout.offsets.back();
    if (textWidth <= areaWidth) {
        int64_t spare = areaWidth - textWidth;
        if (view.style & ES_CENTER)
            layout.origin = areaLeft + spare / 2;
        else if (view.style & ES_RIGHT)
            layout.origin = areaLeft + spare;
        else
            layout.origin = areaLeft;
        return layout;
    }
    // Too wide: scroll as little as keeps the caret in view.
    const int64_t caretX = layout.offsets[std::min(view.state.caret, view.text.size())];
    int64_t scroll = std::clamp<int64_t>(view.state.scroll, 0, textWidth - areaWidth);
    if (caretX - scroll > areaWidth)
        scroll = caretX - areaWidth;
    if (caretX < scroll)
        scroll = caretX;
    layout.scroll = scroll;
    layout.origin = areaLeft - scroll;
    return layout;
}

void drawRun(HDC dc, const std::string& text, size_t from, size_t to, const EditLayout& layout) {
    if (from >= to)
        return;
    RECT box{LONG(layout.xOf(from)), 0, LONG(layout.xOf(to)), LONG(layout.lineHeight)};
    DrawTextA(dc, text.data() + from, int(to - from), &box,
              DT_SINGLELINE | DT_NOPREFIX | DT_LEFT | DT_TOP | DT_NOCLIP);
}

void drawSelectedText(HDC dc, const EditView& view, const EditLayout& layout) {
    const size_t start = std::min(view.state.selectionStart(), view.text.size());
    const size_t end = std::min(view.state.selectionEnd(), view.text.size());
    drawRun(dc, view.text, 0, start, layout);
    drawRun(dc, view.text, end, view.text.size(), layout);
    const RECT highlight{LONG(layout.xOf(start)), 0, LONG(layout.xOf(end)),
                         LONG(layout.lineHeight)};
    FillRect(dc, &highlight, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    drawRun(dc, view.text, start, end, layout);
}

void drawCaret(HDC dc, const EditView& view, const EditLayout& layout) {
    const int64_t x = std::clamp<int64_t>(layout.xOf(std::min(view.state.caret, view.text.size())),
                                          0, std::max(0, view.width - 1));
    HGDIOBJ previousPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    MoveToEx(dc, int(x), 0, nullptr);
    LineTo(dc, int(x), int(layout.lineHeight));
    SelectObject(dc, previousPen);
}

HGDIOBJ selectEditFont(HDC dc, const EditView& view) {
    return SelectObject(dc,
                        view.state.font ? HGDIOBJ(view.state.font) : GetStockObject(SYSTEM_FONT));
}

void paintEdit(HWND handle) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(handle, &paint);
    if (!dc)
        return;
    EditView view;
    if (snapshot(handle, view)) {
        const RECT client{0, 0, view.width, view.height};
        FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
        HGDIOBJ previousFont = selectEditFont(dc, view);
        const EditLayout layout = layoutOf(dc, view);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        if (view.focused && view.state.hasSelection())
            drawSelectedText(dc, view, layout);
        else
            drawRun(dc, view.text, 0, view.text.size(), layout);
        if (view.focused && !view.state.hasSelection())
            drawCaret(dc, view, layout);
        SelectObject(dc, previousFont);
        changeEdit(handle, [&layout](Window&, EditState& state) {
            state.scroll = layout.scroll;
            return false;
        });
    }
    EndPaint(handle, &paint);
}

void placeCaretAt(HWND handle, int x) {
    EditView view;
    if (!snapshot(handle, view))
        return;
    HDC dc = GetDC(handle);
    if (!dc)
        return;
    HGDIOBJ previousFont = selectEditFont(dc, view);
    const EditLayout layout = layoutOf(dc, view);
    SelectObject(dc, previousFont);
    ReleaseDC(handle, dc);
    size_t nearest = 0;
    for (size_t i = 1; i < layout.offsets.size(); ++i)
        if (std::llabs(layout.xOf(i) - x) < std::llabs(layout.xOf(nearest) - x))
            nearest = i;
    changeEdit(handle, [nearest](Window& window, EditState& state) {
        state.placeCaret(std::min(nearest, window.text.size()), false);
        return true;
    });
}

LRESULT createEdit(HWND handle, LPARAM lParam) {
    if (!DefWindowProcA(handle, WM_NCCREATE, 0, lParam))
        return FALSE;
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    Window* window = layer.window(handle);
    if (!window)
        return FALSE;
    auto state = std::make_unique<EditState>();
    state->placeCaret(0, false);
    window->classState = std::move(state);
    return TRUE;
}

} // namespace

namespace win32layer {

LRESULT CALLBACK editWindowProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE:
        return createEdit(handle, lParam);
    case WM_SETTEXT: {
        const LRESULT result = DefWindowProcA(handle, message, wParam, lParam);
        changeEdit(handle, [](Window&, EditState& state) {
            state.placeCaret(0, false);
            return true;
        });
        return result;
    }
    case WM_CHAR:
        typeCharacter(handle, char(wParam));
        return 0;
    case WM_KEYDOWN:
        pressKey(handle, int(wParam));
        return 0;
    case WM_SETFONT:
        changeEdit(handle, [wParam, lParam](Window&, EditState& state) {
            state.font = reinterpret_cast<HFONT>(wParam);
            return LOWORD(lParam) != 0;
        });
        return 0;
    case WM_GETFONT: {
        EditView view;
        return snapshot(handle, view) ? reinterpret_cast<LRESULT>(view.state.font) : 0;
    }
    case EM_SETMARGINS:
        setMargins(handle, wParam, lParam);
        return 0;
    case EM_GETMARGINS: {
        EditView view;
        return snapshot(handle, view)
                   ? LRESULT(MAKELONG(view.state.leftMargin, view.state.rightMargin))
                   : 0;
    }
    case EM_SETSEL:
        setSelection(handle, wParam, lParam);
        return 0;
    case EM_GETSEL:
        return selection(handle, wParam, lParam);
    case EM_LIMITTEXT:
        changeEdit(handle, [wParam](Window&, EditState& state) {
            state.limit = wParam == 0 ? unlimitedText : size_t(wParam);
            return false;
        });
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        changeEdit(handle, [](Window&, EditState&) { return true; });
        return 0;
    case WM_LBUTTONDOWN:
        SetFocus(handle);
        placeCaretAt(handle, GET_X_LPARAM(lParam));
        return 0;
    case WM_ERASEBKGND:
        return 1; // the paint covers the whole control
    case WM_PAINT:
        paintEdit(handle);
        return 0;
    default:
        return DefWindowProcA(handle, message, wParam, lParam);
    }
}

} // namespace win32layer
