// One program (preset) of the mid/side effect.
#pragma once

#include <cstring>

struct EffectProgram {
    static constexpr int nameCapacity = 24;

    float mid = 0.9f;
    float side = 0.9f;
    char name[nameCapacity] = "MS1";
};
