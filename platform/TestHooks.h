// Calls of the layer for tests and hosts that have no counterpart in Win32: a host window, message
// pumping, injected presses, scripted input, the tick clock, window images and leak counts.
// Portable library code never includes this header.
#pragma once

#include "platform/InputState.h"
#include "platform/Menu.h"
#include "platform/Win32Api.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platformtest {

using InputSnapshot = win32layer::InputSnapshot;

// A visible top-level window to serve as the parent of plug-in windows.
HWND createHostWindow(int x, int y, int width, int height);

// Dispatches posted messages and paint messages until none is left, at most limit of them.
// Returns the number dispatched.
int pumpMessages(int limit = 10000);

// Moves the cursor to the screen point, holds the button (VK_LBUTTON, VK_RBUTTON or VK_MBUTTON)
// with the modifiers of `modifiers`, and sends the press to the deepest visible window under the
// point, in its client coordinates. The call returns when the window's procedure does, so any
// polling loop of that procedure runs inside it; afterwards the button is up. Returns the window
// that received the press, or null when none lies under the point.
HWND pressAt(int screenX, int screenY, int button = VK_LBUTTON,
             const InputSnapshot* modifiers = nullptr);

// The live input that GetAsyncKeyState and GetCursorPos report.
void setInput(const InputSnapshot& state);
InputSnapshot currentInput();
// States taken one per GetCursorPos call, in order; the last one stays once the script is used up.
void scriptInput(std::vector<InputSnapshot> states);
// Consulted at every GetCursorPos call (after any scripted state); may change the state. It is
// called without the layer's lock held.
void setInputProvider(std::function<void(InputSnapshot&)> provider);
void clearInputScript();
uint64_t cursorPollCount();

// Typing into the focused window, as a message loop delivers a keyboard's input: each character
// arrives as key-down, character and key-up messages, posted and dispatched one after another.
void typeText(const std::string& text);
// One key such as VK_RETURN, VK_BACK, VK_DELETE, VK_LEFT or VK_HOME: key-down, the character it
// types when it types one, key-up.
void pressKey(int virtualKey);

using TrackedMenu = win32layer::TrackedMenu;
// Answers every menu that TrackPopupMenu shows from now on, in place of the user: the handler
// sees the menu, already shown and painted in its window, and returns the position of the item
// to choose or -1 to dismiss it. Without a handler, the menu follows the live input.
void setMenuHandler(std::function<int(const TrackedMenu&)> handler);
void clearMenuHandler();

// GetTickCount under the test's control: starts at `start`, moves only when told to, and by
// `perPoll` milliseconds at every GetCursorPos call.
void useManualClock(uint32_t start, uint32_t perPoll = 0);
void advanceClock(uint32_t milliseconds);
void useSystemClock();

struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb; // three bytes a pixel, rows top to bottom

    // 0xRRGGBB, or 0xFFFFFFFF outside the image.
    uint32_t pixel(int x, int y) const;
};

// The client area of a window with its visible children drawn over it, clipped to the window.
Image captureWindow(HWND window);
// The pixels of a bitmap (white and black for a monochrome one).
Image captureBitmap(HBITMAP bitmap);
bool isMonochrome(HBITMAP bitmap);
bool writePng(const Image& image, const std::string& path);

struct LiveCounts {
    size_t windows = 0;
    size_t deviceContexts = 0;
    size_t gdiObjects = 0; // bitmaps, pens, brushes and fonts, stock objects excluded
    size_t windowClasses = 0;
    size_t fontFaces = 0; // opened faces, in use by fonts or kept as recently used
};
LiveCounts liveCounts();

} // namespace platformtest
