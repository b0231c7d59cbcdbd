// Builds the program's most derived effect; defined by the effect that the library ships.
#pragma once

#include "effect/HostRecord.h"

class EffectBase;

// Returns null when the effect cannot be allocated.
EffectBase* createEffect(HostCallback callback);
