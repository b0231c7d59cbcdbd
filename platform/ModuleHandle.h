// The handle of the module (executable or shared library) that this copy of the layer is linked
// into: the load address of that module, as the system reports it.
#pragma once

#include "platform/Win32Api.h"

namespace win32layer {

HINSTANCE currentModuleHandle();

} // namespace win32layer
