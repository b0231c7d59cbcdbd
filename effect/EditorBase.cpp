#include "effect/EditorBase.h"

EditorBase::EditorBase(EffectBase* effect) : effect(effect) {}

EditorBase::~EditorBase() = default;

std::int32_t EditorBase::queryRect(EditorRect** rect) {
    if (rect != nullptr) {
        *rect = nullptr;
    }
    return 0;
}

std::int32_t EditorBase::open(void* window) {
    systemWindow = window;
    return 0;
}

void EditorBase::close() {}

void EditorBase::idle() {
    if (updatePending.exchange(0, std::memory_order_relaxed) != 0) {
        update();
    }
}

void EditorBase::update() {}

void EditorBase::requestUpdate() {
    updatePending.store(1, std::memory_order_relaxed);
}
