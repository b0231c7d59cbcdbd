#include "midside/MidSidePlugin.h"

#include "effect/Module.h"
#include "midside/Identity.h"
#include "midside/MidSideEditor.h"

#include <new>

MidSidePlugin::MidSidePlugin(HostCallback callback) : MidSideProcessor(callback) {
    assignEffectId(identity::effectId);
    // The editor attaches itself while it is built; a failed allocation makes main fail.
    auto* editor = new (std::nothrow) MidSideEditor(this);
    attachEditor(editor);
    if (editor == nullptr) {
        outOfMemory.store(true);
    }
}

MidSidePlugin::~MidSidePlugin() = default;

void MidSidePlugin::changeParameter(std::int32_t index, float value) {
    MidSideProcessor::changeParameter(index, value);
    if (attachedEditor != nullptr) {
        static_cast<MidSideEditor*>(attachedEditor)->onParameterChange(index, value);
    }
}
