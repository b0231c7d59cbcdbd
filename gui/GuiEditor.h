// Ties an effect's graphical editor to the toolkit: the editor rectangle, the frame while open,
// the update pass on each idle and the paced idle that controls run while tracking the mouse.
#pragma once

#include "effect/EditorBase.h"

#include <cstdint>

class EditorFrame;

class GuiEditor : public EditorBase {
public:
    explicit GuiEditor(EffectBase* effect);
    ~GuiEditor() override;

    std::int32_t queryRect(EditorRect** rect) override;
    std::int32_t open(void* systemWindow) override;
    void idle() override;

    // Reports a changed parameter; may be called on any host thread.
    virtual void onParameterChange(std::int32_t index, float value);
    // Draws the whole frame at once; the area is ignored.
    virtual void redrawAll(void* area);

    // Runs the idle work at most once per 50 milliseconds, then gives the host an idle turn.
    void pacedIdle();
    static std::uint32_t getTicks();

    EditorFrame* getFrame() const { return frame; }
    const EditorRect& getRect() const { return rect; }

protected:
    EditorRect rect{0, 0, 0, 0};
    EditorFrame* frame = nullptr;
    std::uint32_t lastIdleTicks;
};
