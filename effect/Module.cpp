#include "effect/Module.h"

HINSTANCE moduleHandle = nullptr;
std::atomic<bool> outOfMemory{false};
