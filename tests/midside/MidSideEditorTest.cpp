// The assembled plug-in's editor, opened in a host window of our layer and driven like a user.
#include "midside/MidSideEditor.h"
#include "effect/Module.h"
#include "gui/EditorFrame.h"
#include "midside/MidSidePlugin.h"
#include "platform/ModuleHandle.h"
#include "platform/TestHooks.h"
#include "support/EditorLayout.h"
#include "support/GoldenImage.h"
#include "support/RecordingHost.h"

#include <gtest/gtest.h>

#include <atomic>
#include <bit>
#include <thread>
#include <vector>

namespace {

using platformtest::InputSnapshot;

using editorlayout::handleTopAtDefault;
using editorlayout::midHandleX;
using editorlayout::sideHandleX;

class EditorTest : public testing::Test {
protected:
    void SetUp() override {
        moduleHandle = win32layer::currentModuleHandle();
        platformtest::useManualClock(100000, 20);
        hostWindow = platformtest::createHostWindow(40, 30, 300, 460);
        host.answerWith(1, 2400);
        plugin = new MidSidePlugin(RecordingHost::callback());
        record = plugin->hostRecord();
    }
    void TearDown() override {
        if (record != nullptr) {
            send(15);
            send(1);
        }
        DestroyWindow(hostWindow);
        platformtest::clearInputScript();
        platformtest::setInput(InputSnapshot{});
        platformtest::useSystemClock();
    }

    HostValue send(std::int32_t opcode, std::int32_t index = 0, HostValue value = 0,
                   void* data = nullptr, float opt = 0.0f) {
        return record->opcodeEntry(record, opcode, index, value, data, opt);
    }
    void destroyEffect() {
        send(1);
        record = nullptr;
    }
    MidSideEditor* editor() const { return static_cast<MidSideEditor*>(plugin->editor()); }
    HWND frameWindow() const {
        return editor()->getFrame() != nullptr ? editor()->getFrame()->getWindow() : nullptr;
    }
    void openEditor() {
        ASSERT_EQ(send(14, 0, 0, hostWindow), 1);
        platformtest::pumpMessages();
    }
    void idle() {
        send(19);
        platformtest::pumpMessages();
    }
    platformtest::Image capture() { return platformtest::captureWindow(frameWindow()); }

    POINT screenPoint(int x, int y) const {
        POINT point{x, y};
        MapWindowPoints(frameWindow(), nullptr, &point, 1);
        return point;
    }
    // A left press at (x, y) in the editor that then follows the given points with the button
    // held, and lets go.
    void drag(int x, int y, const std::vector<POINT>& path, InputSnapshot modifiers = {}) {
        std::vector<InputSnapshot> states;
        for (const POINT& p : path) {
            InputSnapshot state = modifiers;
            const POINT screen = screenPoint(p.x, p.y);
            state.x = screen.x;
            state.y = screen.y;
            state.leftButton = true;
            states.push_back(state);
        }
        InputSnapshot released = states.empty() ? modifiers : states.back();
        released.leftButton = false;
        states.push_back(released);
        platformtest::scriptInput(states);
        const POINT screen = screenPoint(x, y);
        platformtest::pressAt(screen.x, screen.y, VK_LBUTTON, &modifiers);
        platformtest::clearInputScript();
    }
    void press(int x, int y, int button = VK_LBUTTON, InputSnapshot modifiers = {}) {
        const POINT screen = screenPoint(x, y);
        platformtest::pressAt(screen.x, screen.y, button, &modifiers);
    }
    std::vector<HostRequest> automation() const { return host.requestsWithOpcode(0); }

    RecordingHost host;
    HWND hostWindow = nullptr;
    MidSidePlugin* plugin = nullptr;
    HostRecord* record = nullptr;
};

TEST_F(EditorTest, HostSeesTheEditorAndItsRectangle) {
    EXPECT_EQ(record->capabilityFlags, flagEditor | flagOverwrite);
    EditorRect* rect = nullptr;
    EXPECT_EQ(send(13, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 420);
    EXPECT_EQ(rect->right, 250);
}

TEST_F(EditorTest, OpensAtItsDefaults) {
    openEditor();
    const platformtest::Image image = capture();
    EXPECT_TRUE(golden::matches(image, "editor-default"));
    // The handle's white pixels are keyed: the track's grey line shows through its top row,
    // while the rest of that row and the rows below are the cap's own greys.
    EXPECT_EQ(image.pixel(113, handleTopAtDefault), 0xCCCCCCu);
    EXPECT_EQ(image.pixel(113, handleTopAtDefault - 1), 0xCCCCCCu);
    EXPECT_NE(image.pixel(118, handleTopAtDefault), 0xFFFFFFu);
    EXPECT_NE(image.pixel(113, handleTopAtDefault + 5), 0xCCCCCCu);
    EXPECT_EQ(image.pixel(113, handleTopAtDefault + 12), 0xCCCCCCu);
}

TEST_F(EditorTest, DraggingMidToTheTopAutomatesAndShowsSixDecibels) {
    openEditor();
    drag(midHandleX, handleTopAtDefault + 4,
         {{midHandleX, 60}, {midHandleX, 20}, {midHandleX, -50}});
    const auto reports = automation();
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back().index, 0);
    EXPECT_EQ(reports.back().opt, 1.0f);
    for (const HostRequest& report : reports) {
        EXPECT_EQ(report.index, 0);
        EXPECT_EQ(report.record, record);
    }
    EXPECT_EQ(record->parameterValueEntry(record, 0), 1.0f);
    EXPECT_EQ(record->parameterValueEntry(record, 1), 0.9f);
    idle();
    const platformtest::Image image = capture();
    EXPECT_TRUE(golden::matches(image, "editor-mid-top"));
    // The handle's top row now lies on the slider's first row.
    EXPECT_NE(image.pixel(118, 70), 0xFFFFFFu);
}

TEST_F(EditorTest, PressingTheHandleWithoutMovingSnapsToItsPixel) {
    openEditor();
    drag(midHandleX, handleTopAtDefault + 6, {});
    const auto reports = automation();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(reports[0].opt),
              std::bit_cast<std::uint32_t>(1.0f - 23.0f / 237.0f));
    EXPECT_FLOAT_EQ(reports[0].opt, 0.90295357f);
}

TEST_F(EditorTest, ShiftDragMovesATenthAsFast) {
    openEditor();
    InputSnapshot shift;
    shift.shift = true;
    drag(sideHandleX, handleTopAtDefault + 6, {{sideHandleX, handleTopAtDefault + 6 - 100}}, shift);
    const float pressed = 1.0f - 23.0f / 237.0f;
    const float expected = 0.9f + (pressed + 100.0f / 237.0f - 0.9f) / 10.0f;
    EXPECT_NEAR(record->parameterValueEntry(record, 1), expected, 1e-6);
    EXPECT_EQ(record->parameterValueEntry(record, 0), 0.9f);
}

TEST_F(EditorTest, AltPressResetsToUnity) {
    record->changeParameterEntry(record, 0, 0.2f);
    openEditor();
    InputSnapshot alt;
    alt.alt = true;
    press(midHandleX, 200, VK_LBUTTON, alt);
    ASSERT_EQ(automation().size(), 1u);
    EXPECT_EQ(automation()[0].opt, 0.9f);
    EXPECT_EQ(record->parameterValueEntry(record, 0), 0.9f);
    // The editor redrew the slider at once, so a second reset has nothing to report.
    press(midHandleX, 200, VK_LBUTTON, alt);
    EXPECT_EQ(automation().size(), 1u);
    idle();
    EXPECT_TRUE(golden::matches(capture(), "editor-default"));
}

TEST_F(EditorTest, PressesBesideTheHandleOrWithOtherButtonsDoNothing) {
    openEditor();
    press(midHandleX, 250);
    press(midHandleX, 75);
    press(midHandleX, handleTopAtDefault + 4, VK_RBUTTON);
    InputSnapshot control;
    control.control = true;
    press(midHandleX, handleTopAtDefault + 4, VK_LBUTTON, control);
    EXPECT_TRUE(automation().empty());
    EXPECT_EQ(record->parameterValueEntry(record, 0), 0.9f);
}

TEST_F(EditorTest, ControlEndsADrag) {
    openEditor();
    InputSnapshot control;
    control.control = true;
    std::vector<InputSnapshot> states;
    const POINT up = screenPoint(midHandleX, 150);
    InputSnapshot moving;
    moving.x = up.x;
    moving.y = up.y;
    moving.leftButton = true;
    InputSnapshot withControl = moving;
    withControl.control = true;
    const POINT further = screenPoint(midHandleX, 10);
    InputSnapshot ignored = withControl;
    ignored.x = further.x;
    ignored.y = further.y;
    platformtest::scriptInput({moving, withControl, ignored});
    press(midHandleX, handleTopAtDefault + 4);
    platformtest::clearInputScript();
    const float reached = record->parameterValueEntry(record, 0);
    EXPECT_NEAR(reached, 1.0f - (150.0f - 4.0f - 70.0f) / 237.0f, 1e-6);
}

TEST_F(EditorTest, LogoStripShowsTheInformationAndBlocksTheSliders) {
    openEditor();
    press(editorlayout::logoPressX, editorlayout::logoPressY);
    EXPECT_TRUE(golden::matches(capture(), "editor-information"));
    // The image covers the sliders' upper parts; their visible parts ignore presses meanwhile.
    drag(midHandleX, 300, {{midHandleX, 200}});
    press(sideHandleX, 300);
    EXPECT_TRUE(automation().empty());
    // A press inside the image hides it and repaints the whole editor.
    press(editorlayout::informationPressX, editorlayout::informationPressY, VK_RBUTTON);
    EXPECT_TRUE(golden::matches(capture(), "editor-default"));
    EXPECT_EQ(record->parameterValueEntry(record, 0), 0.9f);
    EXPECT_EQ(record->parameterValueEntry(record, 1), 0.9f);
    EXPECT_TRUE(automation().empty());
}

TEST_F(EditorTest, HostAutomationShowsAtTheNextIdle) {
    openEditor();
    const platformtest::Image before = capture();
    record->changeParameterEntry(record, 1, 0.0f);
    platformtest::pumpMessages();
    EXPECT_TRUE(golden::matches(capture(), "editor-default"));
    idle();
    const platformtest::Image after = capture();
    EXPECT_TRUE(golden::matches(after, "editor-side-silent"));
    // The Side handle sits at the bottom of its travel, leaving the slider's last row as track.
    EXPECT_NE(after.pixel(143, 307), 0xFFFFFFu);
    EXPECT_EQ(after.pixel(143, 319), 0xFFFFFFu);
    EXPECT_TRUE(automation().empty());
}

TEST_F(EditorTest, ReopeningStartsFromTheCurrentValues) {
    openEditor();
    send(15);
    EXPECT_EQ(frameWindow(), nullptr);
    record->changeParameterEntry(record, 1, 0.0f);
    send(19);
    openEditor();
    EXPECT_TRUE(golden::matches(capture(), "editor-side-silent"));
}

TEST_F(EditorTest, OpeningAndClosingAThousandTimesLeavesNothingBehind) {
    const auto before = platformtest::liveCounts();
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(send(14, 0, 0, hostWindow), 1);
        platformtest::pumpMessages();
        send(19);
        send(15);
    }
    const auto after = platformtest::liveCounts();
    EXPECT_EQ(after.windows, before.windows);
    EXPECT_EQ(after.deviceContexts, before.deviceContexts);
    EXPECT_EQ(after.gdiObjects, before.gdiObjects);
    EXPECT_EQ(after.windowClasses, before.windowClasses);
    EXPECT_EQ(EditorFrame::windowClassUseCount(), 0);
}

TEST_F(EditorTest, DestroyingTheEffectWithTheEditorOpenClosesIt) {
    const auto before = platformtest::liveCounts();
    openEditor();
    destroyEffect();
    platformtest::pumpMessages();
    const auto after = platformtest::liveCounts();
    EXPECT_EQ(after.windows, before.windows);
    // The background bitmap the editor held since the effect was built went with it.
    EXPECT_EQ(after.gdiObjects + 1, before.gdiObjects);
    EXPECT_EQ(after.windowClasses, before.windowClasses);
    EXPECT_EQ(EditorFrame::windowClassUseCount(), 0);
}

// A host whose window is not one of the layer's (a display-server window, or garbage) gets an
// editor that stays closed and draws nothing, and nothing breaks.
TEST_F(EditorTest, ForeignParentWindowLeavesTheEditorEmpty) {
    const auto before = platformtest::liveCounts();
    int foreignWindow = 0;
    EXPECT_EQ(send(14, 0, 0, &foreignWindow), 1);
    EXPECT_EQ(frameWindow(), nullptr);
    record->changeParameterEntry(record, 0, 0.3f);
    send(19);
    send(15);
    const auto after = platformtest::liveCounts();
    EXPECT_EQ(after.windows, before.windows);
    EXPECT_EQ(after.windowClasses, before.windowClasses);
    EXPECT_EQ(EditorFrame::windowClassUseCount(), 0);
}

// Automation and audio on their own threads while the editor thread opens, idles and closes.
TEST_F(EditorTest, HostThreadsNeverTouchControlsTheEditorThreadOwns) {
    std::atomic<bool> running{true};
    std::thread automationThread([&] {
        float value = 0.0f;
        while (running.load()) {
            record->changeParameterEntry(record, 0, value);
            record->changeParameterEntry(record, 1, 1.0f - value);
            value = value >= 1.0f ? 0.0f : value + 0.03f;
        }
    });
    std::thread audioThread([&] {
        std::vector<float> left(64, 0.25f), right(64, -0.5f), outLeft(64), outRight(64);
        float* inputs[] = {left.data(), right.data()};
        float* outputs[] = {outLeft.data(), outRight.data()};
        while (running.load()) {
            record->overwriteEntry(record, inputs, outputs, 64);
        }
    });
    for (int round = 0; round < 40; ++round) {
        send(14, 0, 0, hostWindow);
        platformtest::pumpMessages();
        for (int i = 0; i < 5; ++i) {
            send(19);
        }
        send(15);
    }
    running = false;
    automationThread.join();
    audioThread.join();
    EXPECT_EQ(frameWindow(), nullptr);
}

} // namespace
