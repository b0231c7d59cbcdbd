// The one header through which portable code reaches the Win32 interface. On Windows it is the
// system's own; everywhere else it is our implementation of the subset the library calls.
#pragma once

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include "platform/Win32Api.h"
#endif
