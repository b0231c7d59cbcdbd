// Bitmap resources built into a module, and the reading of their .bmp bytes.
#pragma once

#include "platform/Surface.h"
#include "platform/Win32Api.h"

#include <cstddef>

namespace win32layer {

struct EmbeddedBitmap {
    int id;
    const unsigned char* data;
    size_t size;
};

struct ModuleBitmaps {
    HINSTANCE module;
    const EmbeddedBitmap* table;
    size_t count;
};

// Called by the code that the build generates for each module that carries bitmaps, when the
// module is loaded and when it is unloaded.
void registerEmbeddedBitmaps(HINSTANCE module, const EmbeddedBitmap* table, size_t count);
void unregisterEmbeddedBitmaps(const EmbeddedBitmap* table);

// Reads an uncompressed 24-bit, 32-bit or palettized (1, 4, 8-bit) .bmp, bottom-up or top-down,
// into a colour surface. Returns false for anything else or for truncated data.
bool decodeBmp(const unsigned char* data, size_t size, Surface& out);

} // namespace win32layer
