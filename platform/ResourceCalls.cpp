// Resources and system objects: LoadBitmapA, LoadCursorA, GetSysColorBrush, GetSysColor.
#include "platform/BitmapResources.h"
#include "platform/Layer.h"

using namespace win32layer;

namespace {

constexpr uintptr_t firstSystemCursor = 32512;
constexpr uintptr_t lastSystemCursor = 32651;

} // namespace

HBITMAP LoadBitmapA(HINSTANCE instance, LPCSTR name) {
    // Only numbered resources are built into modules.
    if (!instance || !name || !IS_INTRESOURCE(name))
        return nullptr;
    const int id = int(reinterpret_cast<uintptr_t>(name));
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    const EmbeddedBitmap* resource = nullptr;
    for (const ModuleBitmaps& entry : layer.moduleBitmaps)
        for (size_t i = 0; i < entry.count && !resource; ++i)
            if (entry.module == instance && entry.table[i].id == id)
                resource = &entry.table[i];
    if (!resource)
        return nullptr;
    // Only reads the module's bytes, so it stays under the lock that keeps the module registered.
    auto bitmap = std::make_unique<Bitmap>(0, 0, false, 0);
    if (!decodeBmp(resource->data, resource->size, bitmap->surface))
        return nullptr;
    return asHandle<HBITMAP>(layer.table.insert(std::move(bitmap)));
}

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name) {
    const auto id = reinterpret_cast<uintptr_t>(name);
    if (instance || !IS_INTRESOURCE(name) || id < firstSystemCursor || id > lastSystemCursor)
        return nullptr;
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    return asHandle<HCURSOR>(layer.arrowCursor);
}

HBRUSH GetSysColorBrush(int index) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    return asHandle<HBRUSH>(layer.systemColorBrush(index));
}

DWORD GetSysColor(int index) {
    return systemColor(index);
}
