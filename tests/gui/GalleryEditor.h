// A test editor that places one of each of the toolkit's controls on a frame, drawn with the
// small bitmaps of tests/gui/fixtures, so that every control is drawn and operated end to end
// through the frame.
#pragma once

#include "gui/GuiEditor.h"
#include "gui/ValueControl.h"

#include <string>
#include <vector>

class PopupMenuControl;
class TextEntry;

class GalleryEditor : public GuiEditor, public ValueListener {
public:
    // Resource ids of the gallery's bitmaps, as the gallery test embeds them.
    enum BitmapId {
        backgroundId = 320,
        stripId,
        toggleId,
        digitsId,
        knobId,
        pointerId,
        verticalTrackId,
        verticalHandleId,
        horizontalTrackId,
        horizontalHandleId,
        splashId,
        meterOnId,
        meterOffId,
    };

    // Control tags; each control reports under its own.
    enum Tag {
        verticalSliderTag = 1,
        horizontalSliderTag,
        knobTag,
        filmstripKnobTag,
        toggleTag,
        momentaryTag,
        digitsTag,
        verticalSwitchTag,
        horizontalSwitchTag,
        tiltTag,
        filmstripViewTag,
        filmstripButtonTag,
        animationTag,
        readoutTag,
        entryTag,
        menuTag,
        splashTag,
        meterTag,
    };

    struct Report {
        int tag;
        float value;
        std::string text; // the text of a text entry, the current entry of a popup menu
        bool operator==(const Report&) const = default;
    };

    GalleryEditor();
    ~GalleryEditor() override;

    std::int32_t open(void* systemWindow) override;
    void close() override;
    void valueChanged(Canvas* canvas, ValueControl* control) override;

    // The control with the tag, null while closed.
    ValueControl* control(int tag) const;
    TextEntry* textEntry() const;
    PopupMenuControl* popupMenu() const;

    std::vector<Report> reports;

private:
    void addControl(ValueControl* control);

    std::vector<ValueControl*> controls;
};
