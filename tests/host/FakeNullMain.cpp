// A library whose main refuses to create an effect.
#include "FakePlugin.h"

FAKE_PLUGIN_MAIN {
    (void)callback;
    return nullptr;
}
