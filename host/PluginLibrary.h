// A plug-in library loaded from a path, with its exported main function resolved. The library
// stays loaded until the process ends: a plug-in may keep state meant to outlive its instances
// (shared module state, exit handlers), and unloading it would leave that state dangling or
// unreleased while the host is about to exit anyway.
#pragma once

#include "effect/HostRecord.h"

#include <string>

class PluginLibrary {
public:
    // Throws HostError when the library cannot be loaded or does not export main.
    explicit PluginLibrary(const std::string& path);
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    MainEntry mainEntry() const { return entry; }
    const std::string& path() const { return libraryPath; }

private:
    std::string libraryPath;
    MainEntry entry = nullptr;
};
