#include "GalleryEditor.h"

#include "gui/DigitDisplay.h"
#include "gui/EditorFrame.h"
#include "gui/FilmstripView.h"
#include "gui/ImageSlider.h"
#include "gui/LevelMeter.h"
#include "gui/MomentaryButton.h"
#include "gui/PopupMenuControl.h"
#include "gui/ResourceBitmap.h"
#include "gui/RotaryKnob.h"
#include "gui/SplashPanel.h"
#include "gui/StripSwitch.h"
#include "gui/TextEntry.h"
#include "gui/TextReadout.h"
#include "gui/ToggleButton.h"

namespace {

constexpr int frameWidth = 320;
constexpr int frameHeight = 280;
constexpr int stripImages = 8;
constexpr int stripImageHeight = 24;

// The gallery's bitmaps while it builds its controls; each control retains what it keeps.
class Artwork {
public:
    Artwork() {
        for (int i = 0; i < count; ++i) {
            bitmaps[i] = new ResourceBitmap(GalleryEditor::backgroundId + i);
        }
    }
    ~Artwork() {
        for (ResourceBitmap* bitmap : bitmaps) {
            bitmap->release();
        }
    }
    Artwork(const Artwork&) = delete;
    Artwork& operator=(const Artwork&) = delete;

    ResourceBitmap* operator[](int id) const { return bitmaps[id - GalleryEditor::backgroundId]; }

private:
    static constexpr int count = GalleryEditor::meterOffId - GalleryEditor::backgroundId + 1;
    ResourceBitmap* bitmaps[count] = {};
};

} // namespace

GalleryEditor::GalleryEditor() : GuiEditor(nullptr) {
    rect = {0, 0, frameHeight, frameWidth};
}

GalleryEditor::~GalleryEditor() {
    close();
}

std::int32_t GalleryEditor::open(void* systemWindow) {
    close();
    GuiEditor::open(systemWindow);
    frame = new EditorFrame(Rect(0, 0, frameWidth, frameHeight), systemWindow, this);
    const Artwork art;
    frame->setBackground(art[backgroundId]);

    auto* vertical = new VerticalImageSlider(Rect(10, 10, 24, 110), this, verticalSliderTag, 10,
                                             102, art[verticalHandleId], art[verticalTrackId],
                                             Point(0, 0), styleZeroAtBottom);
    vertical->setValue(0.25f);
    addControl(vertical);
    auto* horizontal = new HorizontalImageSlider(
        Rect(40, 10, 140, 24), this, horizontalSliderTag, 40, 132, art[horizontalHandleId],
        art[horizontalTrackId], Point(0, 0), styleZeroAtLeft);
    horizontal->setValue(0.75f);
    addControl(horizontal);
    auto* knob = new RotaryKnob(Rect(150, 10, 190, 50), this, knobTag, art[knobId], art[pointerId],
                                Point(0, 0));
    knob->setValue(0.5f);
    addControl(knob);
    auto* filmstripKnob =
        new FilmstripKnob(Rect(200, 10, 224, 34), this, filmstripKnobTag, stripImages,
                          stripImageHeight, art[stripId], Point(0, 0));
    filmstripKnob->setValue(0.6f);
    addControl(filmstripKnob);

    addControl(new ToggleButton(Rect(232, 10, 256, 34), this, toggleTag, art[toggleId]));
    addControl(new MomentaryButton(Rect(264, 10, 288, 34), this, momentaryTag, stripImageHeight,
                                   art[stripId], Point(0, 0)));
    addControl(new VerticalStripSwitch(Rect(40, 40, 64, 64), this, verticalSwitchTag,
                                       stripImageHeight, 3, art[stripId], Point(0, 0)));
    addControl(new HorizontalStripSwitch(Rect(72, 40, 96, 64), this, horizontalSwitchTag,
                                         stripImageHeight, 3, art[stripId], Point(0, 0)));
    addControl(new TiltSwitch(Rect(104, 40, 128, 64), this, tiltTag, stripImageHeight, art[stripId],
                              Point(0, 0)));

    auto* view = new FilmstripView(Rect(150, 60, 174, 84), this, filmstripViewTag, stripImages,
                                   stripImageHeight, art[stripId], Point(0, 0));
    view->setValue(0.5f);
    addControl(view);
    addControl(new FilmstripButton(Rect(182, 60, 206, 84), this, filmstripButtonTag,
                                   stripImageHeight, art[stripId], Point(0, 0)));
    addControl(new FrameAnimation(Rect(214, 60, 238, 84), this, animationTag, stripImages,
                                  stripImageHeight, art[stripId], Point(0, 0)));
    const int digitLeft[] = {250, 258, 266};
    const int digitTop[] = {60, 60, 60};
    addControl(new DigitDisplay(Rect(250, 60, 274, 72), this, digitsTag, 42, 3, digitLeft, digitTop,
                                8, 12, art[digitsId]));

    auto* readout = new TextReadout(Rect(40, 120, 110, 138), nullptr, 0);
    readout->tag = readoutTag;
    readout->setValue(0.5f);
    addControl(readout);
    addControl(new TextEntry(Rect(120, 120, 210, 138), this, entryTag, "Gallery", nullptr, 0));
    auto* menu = new PopupMenuControl(Rect(220, 120, 310, 138), this, menuTag, nullptr,
                                      art[toggleId], styleCheckCurrent);
    for (const char* entry : {"Low", "-", "Mid", "High"}) {
        menu->addEntry(entry, -1);
    }
    addControl(menu);

    auto* verticalMeter =
        new LevelMeter(Rect(10, 150, 22, 250), art[meterOnId], art[meterOffId], 10, 0);
    verticalMeter->tag = meterTag;
    verticalMeter->setValue(0.7f);
    addControl(verticalMeter);
    auto* horizontalMeter = new LevelMeter(Rect(40, 160, 140, 172), art[meterOnId], art[meterOffId],
                                           10, styleHorizontal);
    horizontalMeter->setValue(0.4f);
    addControl(horizontalMeter);
    addControl(new SplashPanel(Rect(180, 240, 310, 270), this, splashTag, art[splashId],
                               Rect(150, 150, 270, 220), Point(0, 0)));
    return 1;
}

void GalleryEditor::addControl(ValueControl* control) {
    if (frame->addWidget(control)) {
        controls.push_back(control);
    } else {
        delete control;
    }
}

void GalleryEditor::close() {
    controls.clear();
    delete frame;
    frame = nullptr;
    EditorBase::close();
}

void GalleryEditor::valueChanged(Canvas* canvas, ValueControl* control) {
    Report report{control->tag, control->getValue(), ""};
    char text[TextEntry::textCapacity] = "";
    if (control == textEntry()) {
        textEntry()->getText(text);
    } else if (control == popupMenu()) {
        popupMenu()->getCurrent(text);
    }
    report.text = text;
    reports.push_back(report);
    control->update(canvas);
}

ValueControl* GalleryEditor::control(int tag) const {
    for (ValueControl* candidate : controls) {
        if (candidate->tag == tag) {
            return candidate;
        }
    }
    return nullptr;
}

TextEntry* GalleryEditor::textEntry() const {
    return static_cast<TextEntry*>(control(entryTag));
}

PopupMenuControl* GalleryEditor::popupMenu() const {
    return static_cast<PopupMenuControl*>(control(menuTag));
}
