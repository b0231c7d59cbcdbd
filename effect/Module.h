// The two values shared by every instance in the loaded library.
#pragma once

#include "platform/win32.h"

#include <atomic>

// The module instance handle: names the window class and locates the bitmap resources.
extern HINSTANCE moduleHandle;

// Set when an effect could not create its editor; main then fails. Never cleared.
extern std::atomic<bool> outOfMemory;
