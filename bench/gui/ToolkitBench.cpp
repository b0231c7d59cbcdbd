// Speed of the toolkit's further controls on our layer, in the test gallery that holds one of each:
// what a level meter's redraw at every idle, a knob's redraw while dragged, opening and closing a
// text entry's edit, and showing a popup menu cost against one full paint of the gallery.
#include "GalleryEditor.h"
#include "effect/Module.h"
#include "gui/Canvas.h"
#include "gui/EditorFrame.h"
#include "gui/PopupMenuControl.h"
#include "gui/TextEntry.h"
#include "platform/ModuleHandle.h"
#include "platform/TestHooks.h"
#include "support/RecordingReporter.h"

#include <benchmark/benchmark.h>

namespace {

// The gallery open in a host window for the whole run.
class OpenGallery {
public:
    OpenGallery() {
        moduleHandle = win32layer::currentModuleHandle();
        hostWindow = platformtest::createHostWindow(0, 0, 400, 400);
        gallery.open(hostWindow);
        platformtest::pumpMessages();
        // Menus are dismissed at once: the benchmark measures building, showing and closing.
        platformtest::setMenuHandler([](const platformtest::TrackedMenu&) { return -1; });
    }
    ~OpenGallery() {
        platformtest::clearMenuHandler();
        gallery.close();
        DestroyWindow(hostWindow);
    }
    OpenGallery(const OpenGallery&) = delete;
    OpenGallery& operator=(const OpenGallery&) = delete;

    HWND frameWindow() const { return gallery.getFrame()->getWindow(); }

    HWND hostWindow;
    GalleryEditor gallery;
};

OpenGallery& session() {
    static OpenGallery open;
    return open;
}

// Sets a control to alternating values and redraws it through one canvas, as the idle pass does.
void redrawWithAlternatingValues(benchmark::State& state, int tag) {
    OpenGallery& open = session();
    ValueControl* control = open.gallery.control(tag);
    HDC context = GetDC(open.frameWindow());
    {
        Canvas canvas(open.gallery.getFrame(), context, open.frameWindow());
        float value = 0.2f;
        for (auto _ : state) {
            control->setValue(value);
            control->update(&canvas);
            value = value == 0.2f ? 0.8f : 0.2f;
        }
    }
    ReleaseDC(open.frameWindow(), context);
}

void galleryFullPaint(benchmark::State& state) {
    OpenGallery& open = session();
    for (auto _ : state) {
        open.gallery.redrawAll(nullptr);
    }
}

void meterRedraw(benchmark::State& state) {
    redrawWithAlternatingValues(state, GalleryEditor::meterTag);
}

void knobRedraw(benchmark::State& state) {
    redrawWithAlternatingValues(state, GalleryEditor::knobTag);
}

// A text entry's edit opened by the control and closed again without a change.
void textEntryOpenAndClose(benchmark::State& state) {
    TextEntry* entry = session().gallery.textEntry();
    EditorFrame* frame = session().gallery.getFrame();
    for (auto _ : state) {
        frame->setFocusWidget(entry);
        entry->focusGained();
        entry->focusLost();
    }
}

// The popup menu built from the control's four entries, shown, dismissed and destroyed.
void popupMenuShowAndDismiss(benchmark::State& state) {
    PopupMenuControl* menu = session().gallery.popupMenu();
    EditorFrame* frame = session().gallery.getFrame();
    for (auto _ : state) {
        frame->setFocusWidget(menu);
        menu->focusGained();
    }
}

BENCHMARK(galleryFullPaint);
BENCHMARK(meterRedraw);
BENCHMARK(knobRedraw);
BENCHMARK(textEntryOpenAndClose);
BENCHMARK(popupMenuShowAndDismiss);

} // namespace

int main(int argc, char** argv) {
    benchsupport::RecordingReporter reporter;
    if (!benchsupport::runRecorded(&argc, argv, reporter)) {
        return 1;
    }
    reporter.printRatio("level meter redraw / full gallery paint", "meterRedraw",
                        "galleryFullPaint", "320x280", "none");
    reporter.printRatio("knob redraw / full gallery paint", "knobRedraw", "galleryFullPaint",
                        "320x280", "none");
    reporter.printRatio("text entry open and close / full gallery paint", "textEntryOpenAndClose",
                        "galleryFullPaint", "320x280", "none");
    reporter.printRatio("popup menu show and dismiss / full gallery paint",
                        "popupMenuShowAndDismiss", "galleryFullPaint", "320x280", "none");
    benchmark::Shutdown();
    return 0;
}
