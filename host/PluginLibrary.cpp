#include "host/PluginLibrary.h"

#include "host/HostError.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {

#ifdef _WIN32

void* openLibrary(const std::string& path, std::string& failure) {
    HMODULE module = LoadLibraryA(path.c_str());
    if (module == nullptr) {
        failure = "system error " + std::to_string(GetLastError());
    }
    return reinterpret_cast<void*>(module);
}

void* findSymbol(void* handle, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}

#else

void* openLibrary(const std::string& path, std::string& failure) {
    // A path without a slash would make the loader search the system's library directories.
    const std::string loadPath = path.find('/') == std::string::npos ? "./" + path : path;
    void* handle = dlopen(loadPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* reason = dlerror();
        failure = reason != nullptr ? reason : "unknown loader error";
    }
    return handle;
}

void* findSymbol(void* handle, const char* name) {
    dlerror();
    return dlsym(handle, name);
}

#endif

} // namespace

PluginLibrary::PluginLibrary(const std::string& path) : libraryPath(path) {
    std::string failure;
    void* const handle = openLibrary(path, failure);
    if (handle == nullptr) {
        throw HostError("cannot load plug-in library " + path + ": " + failure);
    }
    entry = reinterpret_cast<MainEntry>(findSymbol(handle, "main"));
    if (entry == nullptr) {
        throw HostError(path + " is not a plug-in library: it exports no function named main");
    }
}
