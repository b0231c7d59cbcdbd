#include "effect/EffectFactory.h"
#include "midside/MidSideProcessor.h"

#include <new>

EffectBase* createEffect(HostCallback callback) {
    return new (std::nothrow) MidSideProcessor(callback);
}
