// The effect's editor: the background, one slider and one decibel readout per parameter, and the
// logo strip that shows the information image.
#pragma once

#include "gui/GuiEditor.h"
#include "gui/ValueControl.h"

#include <array>
#include <atomic>

class ResourceBitmap;
class TextReadout;
class VerticalImageSlider;

class MidSideEditor : public GuiEditor, public ValueListener {
public:
    static constexpr int backgroundId = 128;
    static constexpr int trackId = 129;
    static constexpr int handleId = 130;
    static constexpr int informationId = 131;
    static constexpr int logoTag = 3;

    explicit MidSideEditor(EffectBase* effect);
    ~MidSideEditor() override;

    std::int32_t open(void* systemWindow) override;
    void close() override;
    // Applies the parameter changes recorded since the last idle, on the editor's thread.
    void update() override;
    // May run on any host thread: it only records which parameter changed.
    void onParameterChange(std::int32_t index, float value) override;
    void valueChanged(Canvas* canvas, ValueControl* control) override;

    bool isEditorOpen() const { return isOpen.load(); }

private:
    static constexpr int parameterCount = 2;

    VerticalImageSlider* createSlider(int left, int tag, ResourceBitmap* handle,
                                      ResourceBitmap* track);
    TextReadout* createReadout(const Rect& box, int parameter);
    void addControl(ValueControl* control);
    void applyParameter(int index);

    VerticalImageSlider* midSlider = nullptr;
    VerticalImageSlider* sideSlider = nullptr;
    TextReadout* midReadout = nullptr;
    TextReadout* sideReadout = nullptr;
    ResourceBitmap* background = nullptr;
    std::atomic<bool> isOpen{false};
    std::array<std::atomic<bool>, parameterCount> parameterPending{};
};
