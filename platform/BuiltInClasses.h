// The window classes the layer provides itself: the single-line "EDIT" control and the window
// that shows a tracked popup menu.
#pragma once

#include "platform/Win32Api.h"

namespace win32layer {

class Layer;

inline constexpr const char* editClassName = "EDIT";
inline constexpr const char* menuWindowClassName = "#32768";

LRESULT CALLBACK editWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK menuWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Registers the built-in classes for every module; called once when the layer starts.
void registerBuiltInClasses(Layer& layer);

} // namespace win32layer
