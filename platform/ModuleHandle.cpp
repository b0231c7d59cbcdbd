#include "platform/ModuleHandle.h"

#include <dlfcn.h>

namespace win32layer {

HINSTANCE currentModuleHandle() {
    // The layer is linked statically into each module, so the module that holds this function is
    // the module asking.
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&currentModuleHandle), &info) == 0)
        return nullptr;
    return static_cast<HINSTANCE>(info.dli_fbase);
}

} // namespace win32layer
