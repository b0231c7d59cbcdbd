// The library's only export, and the hook that learns the module handle when the library loads.
#include "effect/EffectBase.h"
#include "effect/EffectFactory.h"
#include "effect/Module.h"
#include "platform/win32.h"
#ifndef _WIN32
#include "platform/ModuleHandle.h"
#endif

namespace {

constexpr std::int32_t requestHostVersion = 1;

} // namespace

#ifdef _WIN32
#define BRISOLEN_EXPORT
#else
#define BRISOLEN_EXPORT __attribute__((visibility("default")))
#endif

// Exported as "main": under that name by the module definition file on Windows, and through the
// assembler name elsewhere (C++ keeps the identifier main for the program's entry point).
extern "C" BRISOLEN_EXPORT HostRecord* BRISOLEN_CALL pluginMain(HostCallback callback)
#ifndef _WIN32
    __asm__("main")
#endif
        ;

extern "C" HostRecord* BRISOLEN_CALL pluginMain(HostCallback callback) {
    if (callback == nullptr || callback(nullptr, requestHostVersion, 0, 0, nullptr, 0.0f) == 0) {
        return nullptr;
    }
    EffectBase* effect = createEffect(callback);
    if (effect == nullptr) {
        return nullptr;
    }
    if (outOfMemory.load()) {
        delete effect;
        return nullptr;
    }
    return effect->hostRecord();
}

#ifdef _WIN32
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD, LPVOID) {
    moduleHandle = instance;
    return TRUE;
}
#else
// Without a system entry hook, the loader's constructor call stands in for it.
__attribute__((constructor)) static void storeModuleHandle() {
    moduleHandle = win32layer::currentModuleHandle();
}
#endif
