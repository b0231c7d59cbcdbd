#include "effect/EffectFactory.h"
#include "midside/MidSidePlugin.h"

#include <new>

EffectBase* createEffect(HostCallback callback) {
    return new (std::nothrow) MidSidePlugin(callback);
}
