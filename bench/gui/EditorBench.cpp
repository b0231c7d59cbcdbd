// Speed of the editor's drawing on our layer: a full paint against one window-sized copy, an idle
// pass with nothing to redraw, and the redraw after a parameter change, all measured in one run
// and printed as ratios against their targets.
#include "effect/Module.h"
#include "gui/Canvas.h"
#include "gui/EditorFrame.h"
#include "gui/ValueControl.h"
#include "midside/MidSideEditor.h"
#include "midside/MidSidePlugin.h"
#include "platform/ModuleHandle.h"
#include "platform/TestHooks.h"
#include "support/RecordingReporter.h"

#include <benchmark/benchmark.h>

namespace {

HostValue BRISOLEN_CALL hostCallback(HostRecord*, std::int32_t opcode, std::int32_t, HostValue,
                                     void*, float) {
    return opcode == 1 ? 2400 : 0;
}

// One plug-in with its editor open in a host window, for the whole run.
class OpenEditor {
public:
    OpenEditor() {
        moduleHandle = win32layer::currentModuleHandle();
        hostWindow = platformtest::createHostWindow(0, 0, 300, 460);
        plugin = new MidSidePlugin(&hostCallback);
        record = plugin->hostRecord();
        send(14, hostWindow);
        platformtest::pumpMessages();
    }
    ~OpenEditor() {
        send(15, nullptr);
        send(1, nullptr);
        DestroyWindow(hostWindow);
    }
    OpenEditor(const OpenEditor&) = delete;
    OpenEditor& operator=(const OpenEditor&) = delete;

    void send(std::int32_t opcode, void* data) {
        record->opcodeEntry(record, opcode, 0, 0, data, 0.0f);
    }
    MidSideEditor* editor() const { return static_cast<MidSideEditor*>(plugin->editor()); }
    HWND frameWindow() const { return editor()->getFrame()->getWindow(); }

    HWND hostWindow;
    MidSidePlugin* plugin;
    HostRecord* record;
};

OpenEditor& session() {
    static OpenEditor editor;
    return editor;
}

void fullPaint(benchmark::State& state) {
    OpenEditor& open = session();
    for (auto _ : state) {
        open.editor()->redrawAll(nullptr);
    }
}

void windowSizedCopy(benchmark::State& state) {
    OpenEditor& open = session();
    HDC window = GetDC(open.frameWindow());
    HDC memory = CreateCompatibleDC(window);
    HBITMAP bitmap = CreateCompatibleBitmap(window, 250, 420);
    HGDIOBJ displaced = SelectObject(memory, bitmap);
    for (auto _ : state) {
        BitBlt(window, 0, 0, 250, 420, memory, 0, 0, SRCCOPY);
    }
    SelectObject(memory, displaced);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(open.frameWindow(), window);
}

void idleWithoutChanges(benchmark::State& state) {
    OpenEditor& open = session();
    open.send(19, nullptr);
    for (auto _ : state) {
        open.send(19, nullptr);
    }
}

// The slider's own redraw after its value changed, as the editor does it while the user drags.
void sliderRedraw(benchmark::State& state) {
    OpenEditor& open = session();
    EditorFrame* frame = open.editor()->getFrame();
    // The Mid slider is the first widget the editor adds.
    auto* slider = static_cast<ValueControl*>(frame->getWidget(0));
    HDC context = GetDC(open.frameWindow());
    {
        Canvas canvas(frame, context, open.frameWindow());
        float value = 0.2f;
        for (auto _ : state) {
            slider->setValue(value);
            slider->update(&canvas);
            value = value == 0.2f ? 0.8f : 0.2f;
        }
    }
    ReleaseDC(open.frameWindow(), context);
}

// A host parameter change and the idle that redraws its slider and readout.
void redrawAfterChange(benchmark::State& state) {
    OpenEditor& open = session();
    float value = 0.2f;
    for (auto _ : state) {
        open.record->changeParameterEntry(open.record, 0, value);
        open.send(19, nullptr);
        value = value == 0.2f ? 0.8f : 0.2f;
    }
}

BENCHMARK(fullPaint);
BENCHMARK(windowSizedCopy);
BENCHMARK(idleWithoutChanges);
BENCHMARK(sliderRedraw);
BENCHMARK(redrawAfterChange);

} // namespace

int main(int argc, char** argv) {
    benchsupport::RecordingReporter reporter;
    if (!benchsupport::runRecorded(&argc, argv, reporter)) {
        return 1;
    }
    reporter.printRatio("full paint / window-sized BitBlt", "fullPaint", "windowSizedCopy",
                        "250x420", "<= 10");
    reporter.printRatio("idle without changes / full paint", "idleWithoutChanges", "fullPaint",
                        "editor", "<= 0.01");
    reporter.printRatio("slider redraw / full paint", "sliderRedraw", "fullPaint", "editor",
                        "<= 0.2");
    reporter.printRatio("host change with slider and readout redraw / full paint",
                        "redrawAfterChange", "fullPaint", "editor", "none");
    benchmark::Shutdown();
    return 0;
}
