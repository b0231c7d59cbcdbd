// Input state and the tick clock: GetAsyncKeyState, GetCursorPos, GetTickCount.
#include "platform/Layer.h"

using namespace win32layer;

SHORT GetAsyncKeyState(int key) {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    return layer.input.keyDown(key) ? SHORT(-0x8000) : SHORT(0);
}

BOOL GetCursorPos(LPPOINT point) {
    if (!point)
        return FALSE;
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    layer.input.poll();
    if (std::function<void(InputSnapshot&)> provider = layer.input.provider()) {
        InputSnapshot state = layer.input.current();
        guard.unlock();
        provider(state);
        guard.lock();
        layer.input.set(state);
    }
    point->x = layer.input.current().x;
    point->y = layer.input.current().y;
    return TRUE;
}

DWORD GetTickCount() {
    Layer& layer = Layer::instance();
    auto guard = layer.lock();
    return layer.input.ticks();
}
