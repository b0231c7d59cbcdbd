#include "gui/GuiEditor.h"

#include "effect/EffectBase.h"
#include "gui/EditorFrame.h"
#include "platform/win32.h"

namespace {

constexpr std::uint32_t idlePeriodMs = 50;

} // namespace

GuiEditor::GuiEditor(EffectBase* effect) : EditorBase(effect), lastIdleTicks(getTicks()) {
    if (effect != nullptr) {
        effect->attachEditor(this);
    }
    systemWindow = nullptr;
}

GuiEditor::~GuiEditor() = default;

std::uint32_t GuiEditor::getTicks() {
    return GetTickCount();
}

std::int32_t GuiEditor::queryRect(EditorRect** rectOut) {
    *rectOut = &rect;
    return 1;
}

std::int32_t GuiEditor::open(void* window) {
    requestUpdate();
    return EditorBase::open(window);
}

void GuiEditor::idle() {
    EditorBase::idle();
    if (frame != nullptr) {
        frame->idle();
    }
}

void GuiEditor::onParameterChange(std::int32_t, float) {
    requestUpdate();
}

void GuiEditor::redrawAll(void*) {
    if (frame != nullptr) {
        frame->drawWidgetNow(nullptr);
    }
}

void GuiEditor::pacedIdle() {
    const std::uint32_t now = getTicks();
    // Unsigned comparison as the tick count has it, wrap-around included.
    if (now < lastIdleTicks + idlePeriodMs) {
        return;
    }
    lastIdleTicks = now;
    idle();
    if (effect != nullptr) {
        effect->giveHostIdle();
    }
}
