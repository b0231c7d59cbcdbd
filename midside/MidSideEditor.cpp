#include "midside/MidSideEditor.h"

#include "effect/EffectBase.h"
#include "gui/EditorFrame.h"
#include "gui/ImageSlider.h"
#include "gui/ResourceBitmap.h"
#include "gui/TextReadout.h"
#include "midside/DecibelText.h"
#include "midside/LogoSplash.h"

#include <new>

namespace {

constexpr int sliderTop = 70;
constexpr int midSliderLeft = 105;
constexpr int sideSliderLeft = 130;
constexpr float sliderResetValue = 0.9f;
constexpr Rect logoStrip(0, 0, 250, 55);
constexpr Point informationOrigin(22, 60);
constexpr Rect midReadoutBox(64, 330, 124, 344);
constexpr Rect sideReadoutBox(125, 330, 185, 344);
constexpr int readoutStyle = 1;

// A bitmap the editor only hands on: released once the controls hold their own references.
ResourceBitmap* loadBitmap(int id) {
    return new (std::nothrow) ResourceBitmap(id);
}

void releaseBitmap(ResourceBitmap* bitmap) {
    if (bitmap != nullptr) {
        bitmap->release();
    }
}

int widthOf(const ResourceBitmap* bitmap) {
    return bitmap != nullptr ? bitmap->getWidth() : 0;
}

int heightOf(const ResourceBitmap* bitmap) {
    return bitmap != nullptr ? bitmap->getHeight() : 0;
}

} // namespace

MidSideEditor::MidSideEditor(EffectBase* effect) : GuiEditor(effect) {
    background = loadBitmap(backgroundId);
    rect.top = 0;
    rect.left = 0;
    rect.bottom = static_cast<std::int16_t>(heightOf(background));
    rect.right = static_cast<std::int16_t>(widthOf(background));
}

MidSideEditor::~MidSideEditor() {
    // A host that destroys the effect with the editor still open must not leave a window behind
    // that points at this editor.
    close();
    releaseBitmap(background);
    background = nullptr;
}

std::int32_t MidSideEditor::open(void* window) {
    if (frame != nullptr) {
        close();
    }
    GuiEditor::open(window);
    for (auto& pending : parameterPending) {
        pending.store(false);
    }
    frame = new (std::nothrow)
        EditorFrame(Rect(0, 0, widthOf(background), heightOf(background)), window, this);
    if (frame == nullptr) {
        return 1;
    }
    frame->setBackground(background);

    ResourceBitmap* track = loadBitmap(trackId);
    ResourceBitmap* handle = loadBitmap(handleId);
    midSlider = createSlider(midSliderLeft, 0, handle, track);
    sideSlider = createSlider(sideSliderLeft, 1, handle, track);

    ResourceBitmap* information = loadBitmap(informationId);
    const Rect informationRect(informationOrigin.h, informationOrigin.v,
                               informationOrigin.h + widthOf(information),
                               informationOrigin.v + heightOf(information));
    addControl(new (std::nothrow)
                   LogoSplash(logoStrip, this, logoTag, information, informationRect, Point(0, 0)));
    releaseBitmap(information);

    midReadout = createReadout(midReadoutBox, 0);
    sideReadout = createReadout(sideReadoutBox, 1);
    releaseBitmap(track);
    releaseBitmap(handle);
    isOpen.store(true);
    return 1;
}

VerticalImageSlider* MidSideEditor::createSlider(int left, int tag, ResourceBitmap* handle,
                                                 ResourceBitmap* track) {
    // At the end of its travel the handle leaves the track's last row showing.
    const int maxHandlePos = heightOf(track) - heightOf(handle) + 69;
    auto* slider = new (std::nothrow) VerticalImageSlider(
        Rect(left, sliderTop, left + widthOf(track), sliderTop + heightOf(track)), this, tag,
        sliderTop, maxHandlePos, handle, track, Point(0, 0), styleZeroAtBottom);
    if (slider != nullptr) {
        slider->setValue(effect->parameterValue(tag));
        slider->setResetValue(sliderResetValue);
    }
    addControl(slider);
    return slider;
}

TextReadout* MidSideEditor::createReadout(const Rect& box, int parameter) {
    auto* readout = new (std::nothrow) TextReadout(box, nullptr, readoutStyle);
    if (readout != nullptr) {
        readout->setFontId(fontSmall);
        readout->setTextColor(colorBlack);
        readout->setBackgroundColor(colorWhite);
        readout->setBorderColor(colorWhite);
        readout->setValue(effect->parameterValue(parameter));
        readout->setValueToText(&levelToDecibelText);
    }
    addControl(readout);
    return readout;
}

// The frame owns what it accepted; a control it could not take is deleted here.
void MidSideEditor::addControl(ValueControl* control) {
    if (control != nullptr && !frame->addWidget(control)) {
        delete control;
    }
}

void MidSideEditor::close() {
    isOpen.store(false);
    delete frame;
    frame = nullptr;
    midSlider = nullptr;
    sideSlider = nullptr;
    midReadout = nullptr;
    sideReadout = nullptr;
}

void MidSideEditor::onParameterChange(std::int32_t index, float) {
    if (!isOpen.load()) {
        return;
    }
    if (index >= 0 && index < parameterCount) {
        parameterPending[static_cast<std::size_t>(index)].store(true);
    }
    requestUpdate();
}

void MidSideEditor::update() {
    if (!isOpen.load()) {
        return;
    }
    for (int index = 0; index < parameterCount; ++index) {
        if (parameterPending[static_cast<std::size_t>(index)].exchange(false)) {
            applyParameter(index);
        }
    }
}

void MidSideEditor::applyParameter(int index) {
    const float value = effect->parameterValue(index);
    ValueControl* slider = index == 0 ? static_cast<ValueControl*>(midSlider) : sideSlider;
    ValueControl* readout = index == 0 ? static_cast<ValueControl*>(midReadout) : sideReadout;
    if (slider != nullptr) {
        slider->setValue(value);
    }
    if (readout != nullptr) {
        readout->setValue(value);
    }
}

void MidSideEditor::valueChanged(Canvas* canvas, ValueControl* control) {
    const int tag = control->tag;
    // The logo strip reports every show and hide; it edits no parameter.
    if (tag < 0 || tag > 1) {
        return;
    }
    effect->changeParameterAndNotify(tag, control->getValue());
    control->update(canvas);
}
