// Every control of the toolkit in one editor, operated through its frame with scripted input, and
// the whole editor compared with golden images before and after.
#include "GalleryEditor.h"
#include "GuiTestSupport.h"
#include "effect/Module.h"
#include "gui/EditorFrame.h"
#include "gui/FilmstripView.h"
#include "gui/PopupMenuControl.h"
#include "gui/TextEntry.h"
#include "platform/ModuleHandle.h"
#include "support/GoldenImage.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using platformtest::InputSnapshot;

class GalleryTest : public testing::Test {
protected:
    void SetUp() override {
        moduleHandle = win32layer::currentModuleHandle();
        start = platformtest::liveCounts();
        gallery.open(host.window);
        platformtest::pumpMessages();
    }
    void TearDown() override {
        platformtest::clearMenuHandler();
        platformtest::clearInputScript();
        platformtest::setInput(InputSnapshot{});
    }

    HWND frameWindow() const { return gallery.getFrame()->getWindow(); }
    platformtest::Image picture() {
        gallery.idle();
        gallery.redrawAll(nullptr);
        return platformtest::captureWindow(frameWindow());
    }

    // A left press at a frame point, the button held along the path, then released.
    void drag(POINT from, const std::vector<POINT>& path) {
        std::vector<InputSnapshot> states;
        for (const POINT& p : path) {
            const POINT screen = guitest::toScreen(frameWindow(), p.x, p.y);
            InputSnapshot held;
            held.x = screen.x;
            held.y = screen.y;
            held.leftButton = true;
            states.push_back(held);
        }
        InputSnapshot released = states.empty() ? InputSnapshot{} : states.back();
        released.leftButton = false;
        states.push_back(released);
        platformtest::scriptInput(states);
        guitest::pressIn(frameWindow(), from.x, from.y);
        platformtest::clearInputScript();
    }
    void click(POINT at) { drag(at, {at}); }

    // What a control reported last, or a report with tag 0 when it reported nothing.
    GalleryEditor::Report lastReportOf(int tag) const {
        for (auto report = gallery.reports.rbegin(); report != gallery.reports.rend(); ++report)
            if (report->tag == tag)
                return *report;
        return {0, 0.0f, ""};
    }

    platformtest::LiveCounts start;
    guitest::HostWindow host{400, 400};
    GalleryEditor gallery;
};

TEST_F(GalleryTest, DrawsEveryControlAsOpened) {
    EXPECT_TRUE(golden::matches(picture(), "gallery-opened"));
}

TEST_F(GalleryTest, EveryControlIsOperatedThroughTheFrame) {
    struct Operation {
        const char* name;
        int tag;
        std::function<void()> operate;
        float value;
        const char* text;
        float tolerance = 1e-4f;
    };
    const Operation operations[] = {
        {"vertical slider to the top", GalleryEditor::verticalSliderTag,
         [&] {
             drag({17, 80}, {{17, 40}, {17, -200}});
         },
         1.0f, ""},
        {"horizontal slider to the left", GalleryEditor::horizontalSliderTag,
         [&] {
             drag({112, 17}, {{60, 17}, {-300, 17}});
         },
         0.0f, ""},
        {"knob turned right", GalleryEditor::knobTag,
         [&] {
             drag({170, 30}, {{170, 10}, {200, 30}});
         },
         5.0f / 6.0f, "", 0.05f},
        {"toggle on", GalleryEditor::toggleTag,
         [&] {
             click({240, 20});
         },
         1.0f, ""},
        {"momentary released", GalleryEditor::momentaryTag,
         [&] {
             drag({270, 20}, {{270, 20}, {270, 21}});
         },
         0.0f, ""},
        {"vertical switch at its last position", GalleryEditor::verticalSwitchTag,
         [&] {
             click({50, 62});
         },
         1.0f, ""},
        {"horizontal switch at its last position", GalleryEditor::horizontalSwitchTag,
         [&] {
             click({94, 50});
         },
         1.0f, ""},
        {"tilt switch back at rest", GalleryEditor::tiltTag,
         [&] {
             drag({115, 42}, {{115, 42}, {115, 43}});
         },
         0.0f, ""},
        {"filmstrip button on", GalleryEditor::filmstripButtonTag,
         [&] {
             click({190, 70});
         },
         1.0f, ""},
        {"animation started", GalleryEditor::animationTag,
         [&] {
             click({226, 72});
         },
         0.0f, ""},
        {"text entry edited", GalleryEditor::entryTag,
         [&] {
             click({150, 128});
             platformtest::pressKey(VK_END);
             platformtest::typeText(" two");
             platformtest::pressKey(VK_RETURN);
         },
         0.0f, "Gallery two"},
        {"menu entry chosen", GalleryEditor::menuTag,
         [&] {
             platformtest::setMenuHandler([](const platformtest::TrackedMenu&) { return 3; });
             click({260, 128});
         },
         0.0f, "High"},
    };
    for (const Operation& operation : operations) {
        SCOPED_TRACE(operation.name);
        operation.operate();
        const GalleryEditor::Report report = lastReportOf(operation.tag);
        EXPECT_EQ(report.tag, operation.tag) << "the control reported";
        EXPECT_NEAR(report.value, operation.value, operation.tolerance);
        EXPECT_EQ(report.text, operation.text);
    }

    gallery.control(GalleryEditor::digitsTag)->setValue(907.0f);
    gallery.control(GalleryEditor::meterTag)->setValue(0.2f);
    auto* animation = static_cast<FrameAnimation*>(gallery.control(GalleryEditor::animationTag));
    animation->nextFrame();
    animation->nextFrame();
    gallery.control(GalleryEditor::filmstripViewTag)->setValue(1.0f);
    gallery.control(GalleryEditor::readoutTag)->setValue(0.25f);
    click({200, 250}); // the splash panel's trigger shows its image over the controls
    EXPECT_EQ(gallery.getFrame()->getModalWidget(), gallery.control(GalleryEditor::splashTag));
    EXPECT_TRUE(golden::matches(picture(), "gallery-operated"));
}

TEST_F(GalleryTest, OpeningAndClosingLeavesNothingBehind) {
    for (int i = 0; i < 20; ++i) {
        gallery.close();
        gallery.open(host.window);
        picture();
    }
    gallery.close();
    const auto end = platformtest::liveCounts();
    EXPECT_EQ(end.windows, start.windows) << "only the host window remains";
    EXPECT_EQ(end.gdiObjects, start.gdiObjects);
    EXPECT_EQ(end.deviceContexts, start.deviceContexts);
}

} // namespace
