// The toolkit's further controls in a frame of our layer: buttons, knobs, switches, filmstrips,
// digits and the level meter. Their images come from a strip whose image i is the colour
// (10 i, 100, 200), so one pixel tells which image a control shows.
#include "GuiTestSupport.h"
#include "effect/Module.h"
#include "gui/Canvas.h"
#include "gui/DigitDisplay.h"
#include "gui/FilmstripView.h"
#include "gui/LevelMeter.h"
#include "gui/MomentaryButton.h"
#include "gui/ResourceBitmap.h"
#include "gui/RotaryKnob.h"
#include "gui/StripSwitch.h"
#include "gui/ToggleButton.h"
#include "platform/ModuleHandle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace {

using platformtest::InputSnapshot;

constexpr int stripId = 310;
constexpr int meterOnId = 311;
constexpr int meterOffId = 312;

// Records every value a control reports and redraws the control, as an editor does.
class ReportLog : public ValueListener {
public:
    void valueChanged(Canvas* canvas, ValueControl* control) override {
        values.push_back(control->getValue());
        control->update(canvas);
    }
    std::vector<float> values;
};

class StripControlsTest : public testing::Test {
protected:
    void SetUp() override {
        moduleHandle = win32layer::currentModuleHandle();
        frame = std::make_unique<EditorFrame>(Rect(0, 0, 250, 420), host.window, nullptr);
        strip = new ResourceBitmap(stripId);
        frame->drawWidgetNow(nullptr);
    }
    void TearDown() override {
        frame.reset();
        strip->release();
        platformtest::clearInputScript();
        platformtest::setInput(InputSnapshot{});
    }
    template <typename T> T* add(T* control) {
        frame->addWidget(control);
        return control;
    }
    // The strip image a control shows at a frame point.
    int imageAt(int x, int y) {
        frame->drawWidgetNow(nullptr);
        const std::uint32_t pixel = platformtest::captureWindow(frame->getWindow()).pixel(x, y);
        return static_cast<int>(pixel >> 16) / 10;
    }
    // A left press at (x, y) followed by the given frame points with the button held (or the
    // given state), then everything released.
    void pressAndFollow(int x, int y, const std::vector<POINT>& path,
                        InputSnapshot held = InputSnapshot{}) {
        std::vector<InputSnapshot> states;
        for (const POINT& p : path) {
            InputSnapshot state = held;
            const POINT screen = guitest::toScreen(frame->getWindow(), p.x, p.y);
            state.x = screen.x;
            state.y = screen.y;
            state.leftButton = !held.shift && !held.control && !held.alt ? true : held.leftButton;
            states.push_back(state);
        }
        InputSnapshot released{};
        if (!states.empty()) {
            released.x = states.back().x;
            released.y = states.back().y;
        }
        states.push_back(released);
        platformtest::scriptInput(states);
        guitest::pressIn(frame->getWindow(), x, y);
        platformtest::clearInputScript();
    }
    // A click that is over before the control's first poll.
    void shortClick(ValueControl* control, int x, int y) {
        Canvas canvas(frame.get(), nullptr, frame->getWindow());
        Point where(x, y);
        control->mouseDown(&canvas, where);
    }

    guitest::HostWindow host;
    std::unique_ptr<EditorFrame> frame;
    ResourceBitmap* strip = nullptr;
    ReportLog log;
};

TEST_F(StripControlsTest, ToggleButtonTruncatesBeforeFlipping) {
    auto* button = add(new ToggleButton(Rect(0, 0, 30, 50), &log, 1, strip));
    button->setValue(0.5f);
    EXPECT_EQ(imageAt(5, 5), 5) << "0.5 is not 0: the lower half shows";
    guitest::pressIn(frame->getWindow(), 5, 5);
    guitest::pressIn(frame->getWindow(), 5, 5, VK_RBUTTON);
    EXPECT_EQ(log.values, (std::vector<float>{1.0f, 0.0f}));
    auto* bare = add(new ToggleButton(Rect(100, 0, 130, 50), &log, 2, nullptr));
    guitest::pressIn(frame->getWindow(), 110, 5);
    EXPECT_EQ(bare->getValue(), 1.0f);
    EXPECT_EQ(log.values.size(), 3u);
}

TEST_F(StripControlsTest, MomentaryButtonReportsBothEdges) {
    auto* button = add(new MomentaryButton(Rect(0, 0, 30, 10), &log, 1, 10, strip, Point(0, 0)));
    pressAndFollow(5, 5, {{6, 5}});
    EXPECT_EQ(log.values, (std::vector<float>{1.0f, 0.0f}));

    log.values.clear();
    frame->drawWidgetNow(nullptr);
    pressAndFollow(5, 5, {{100, 100}, {5, 5}});
    EXPECT_EQ(log.values, (std::vector<float>{1.0f, 0.0f, 1.0f, 0.0f}));

    log.values.clear();
    shortClick(button, 5, 5);
    EXPECT_EQ(log.values, (std::vector<float>{1.0f, 0.0f}));

    button->setValue(3.0f);
    EXPECT_EQ(imageAt(5, 5), 1);
    EXPECT_EQ(button->getValue(), 1.0f);
}

TEST_F(StripControlsTest, ModifiersKeepATrackingLoopRunning) {
    add(new MomentaryButton(Rect(0, 0, 30, 10), &log, 1, 10, strip, Point(0, 0)));
    InputSnapshot shiftOnly;
    shiftOnly.shift = true;
    const POINT over = guitest::toScreen(frame->getWindow(), 5, 5);
    shiftOnly.x = over.x;
    shiftOnly.y = over.y;
    InputSnapshot held = shiftOnly;
    held.leftButton = true;
    InputSnapshot released{};
    released.x = over.x;
    released.y = over.y;
    platformtest::scriptInput({held, shiftOnly, shiftOnly, released});
    const std::uint64_t pollsBefore = platformtest::cursorPollCount();
    guitest::pressIn(frame->getWindow(), 5, 5);
    platformtest::clearInputScript();
    EXPECT_GE(platformtest::cursorPollCount() - pollsBefore, 4u);
}

TEST_F(StripControlsTest, KnobFollowsTheAngleAroundItsCentre) {
    RotaryKnob knob(Rect(0, 0, 50, 50), &log, 1, nullptr, nullptr, Point(0, 0));
    // With the default inset of 5 the radius is 20 and the centre lies at (25, 25); the bottom
    // quarter is the dead zone between the two ends.
    const struct {
        Point p;
        float value;
    } cases[] = {{{25, 0}, 0.5f},  {{0, 25}, 1.0f / 6.0f}, {{50, 25}, 5.0f / 6.0f},
                 {{25, 25}, 0.5f}, {{15, 50}, 0.0f},       {{35, 50}, 1.0f},
                 {{25, 50}, 1.0f}};
    for (const auto& c : cases) {
        EXPECT_NEAR(knob.valueForPoint(c.p), c.value, 1e-6) << c.p.h << "," << c.p.v;
    }
    knob.setMinimum(-1.0f);
    knob.setMaximum(3.0f);
    EXPECT_NEAR(knob.valueForPoint(Point(25, 0)), 1.0f, 1e-6);
    for (const float value : {-1.0f, 1.0f, 3.0f}) {
        knob.setValue(value);
        Point p;
        knob.pointForValue(p);
        EXPECT_NEAR(knob.valueForPoint(p), value, 0.15f) << value;
    }
}

TEST_F(StripControlsTest, FilmstripKnobRoundsTheImageDown) {
    auto* knob = add(new FilmstripKnob(Rect(0, 0, 30, 10), &log, 1, 5, 10, strip, Point(0, 0)));
    const struct {
        float value;
        int image;
    } cases[] = {{0.5f, 2}, {0.49f, 1}, {1.0f, 4}, {0.0f, 0}, {-0.3f, 0}, {3.0f, 4}};
    for (const auto& c : cases) {
        knob->setValue(c.value);
        EXPECT_EQ(imageAt(5, 5), c.image) << c.value;
    }
}

TEST_F(StripControlsTest, StripSwitchZonesAndImages) {
    // Three positions over 30 pixels: zones of 10. The vertical switch divides its image
    // height, so its images are 30 tall (images 0, 3 and 6 of the test strip).
    auto* vertical =
        add(new VerticalStripSwitch(Rect(0, 0, 30, 30), &log, 1, 30, 3, strip, Point(0, 0)));
    auto* horizontal =
        add(new HorizontalStripSwitch(Rect(100, 0, 130, 10), &log, 2, 10, 3, strip, Point(0, 0)));
    const struct {
        int offset;
        float vertical;
        float horizontal;
    } zones[] = {{0, 0.0f, 0.0f},  {9, 0.0f, 0.0f},  {10, 0.5f, 0.0f}, {11, 0.5f, 0.5f},
                 {19, 0.5f, 0.5f}, {20, 1.0f, 0.5f}, {21, 1.0f, 1.0f}, {29, 1.0f, 1.0f}};
    for (const auto& z : zones) {
        pressAndFollow(5, z.offset, {});
        EXPECT_EQ(vertical->getValue(), z.vertical) << z.offset;
        pressAndFollow(100 + z.offset, 5, {});
        EXPECT_EQ(horizontal->getValue(), z.horizontal) << z.offset;
    }
    pressAndFollow(5, 15, {{5, -40}});
    EXPECT_EQ(vertical->getValue(), 0.0f) << "above the control";
    pressAndFollow(5, 15, {{5, 300}});
    EXPECT_EQ(vertical->getValue(), 1.0f) << "below the control";

    const struct {
        float value;
        int image;
    } images[] = {{0.0f, 0}, {0.49f, 0}, {0.5f, 3}, {0.99f, 3}, {1.0f, 6}, {7.0f, 6}};
    for (const auto& i : images) {
        vertical->setValue(i.value);
        EXPECT_EQ(imageAt(5, 5), i.image) << i.value;
    }

    InputSnapshot alt;
    alt.alt = true;
    guitest::pressIn(frame->getWindow(), 5, 25, VK_LBUTTON, &alt);
    EXPECT_EQ(vertical->getValue(), 0.0f);
}

TEST_F(StripControlsTest, StripSwitchWithFewerThanTwoPositionsStaysPut) {
    auto* single =
        add(new VerticalStripSwitch(Rect(0, 0, 30, 30), &log, 1, 10, 1, strip, Point(0, 0)));
    auto* none =
        add(new HorizontalStripSwitch(Rect(100, 0, 130, 10), &log, 2, 10, 0, strip, Point(0, 0)));
    pressAndFollow(5, 25, {});
    pressAndFollow(120, 5, {});
    EXPECT_EQ(single->getValue(), 0.0f);
    EXPECT_EQ(none->getValue(), 0.0f);
    single->setValue(1.0f);
    EXPECT_EQ(imageAt(5, 5), 0);
}

TEST_F(StripControlsTest, TiltSwitchSpringsBackToRest) {
    auto* tilt = add(new TiltSwitch(Rect(0, 0, 30, 10), &log, 1, 10, strip, Point(0, 0)));
    EXPECT_EQ(imageAt(5, 5), 1) << "at rest";
    pressAndFollow(5, 5, {{25, 5}});
    EXPECT_EQ(log.values, (std::vector<float>{-1.0f, 1.0f, 0.0f}));
    log.values.clear();
    pressAndFollow(15, 5, {});
    EXPECT_EQ(log.values, (std::vector<float>{-1.0f, 0.0f})) << "the middle column is left";
    log.values.clear();
    shortClick(tilt, 25, 5);
    EXPECT_EQ(log.values, (std::vector<float>{1.0f, 0.0f}));
    tilt->setValue(1.0f);
    EXPECT_EQ(imageAt(5, 5), 2);
    tilt->setValue(-1.0f);
    EXPECT_EQ(imageAt(5, 5), 0);
}

TEST_F(StripControlsTest, FilmstripViewRoundsToTheNearestImage) {
    auto* view = add(new FilmstripView(Rect(0, 0, 30, 10), &log, 1, 5, 10, strip, Point(0, 0)));
    const struct {
        float value;
        int image;
        float stored;
    } cases[] = {
        {0.5f, 2, 0.5f}, {0.6f, 2, 0.6f}, {0.65f, 3, 0.65f}, {1.7f, 4, 1.0f}, {-0.2f, 0, -0.2f}};
    for (const auto& c : cases) {
        view->setValue(c.value);
        EXPECT_EQ(imageAt(5, 5), c.image) << c.value;
        EXPECT_EQ(view->getValue(), c.stored) << c.value;
    }
    guitest::pressIn(frame->getWindow(), 5, 5);
    EXPECT_TRUE(log.values.empty());
}

TEST_F(StripControlsTest, FilmstripButtonKeepsTheStateItWasReleasedIn) {
    auto* button = add(new FilmstripButton(Rect(0, 0, 30, 10), &log, 1, 10, strip, Point(0, 0)));
    pressAndFollow(5, 5, {{6, 6}});
    EXPECT_EQ(button->getValue(), 1.0f);
    EXPECT_EQ(imageAt(5, 5), 1);
    pressAndFollow(5, 5, {{200, 200}});
    EXPECT_EQ(button->getValue(), 1.0f) << "dragged off: the saved value";
    shortClick(button, 5, 5);
    EXPECT_EQ(button->getValue(), 0.0f);
}

TEST_F(StripControlsTest, FrameAnimationStartsStopsAndStepsThroughEveryFrame) {
    auto* animation =
        add(new FrameAnimation(Rect(0, 0, 30, 10), &log, 1, 4, 10, strip, Point(0, 0)));
    guitest::pressIn(frame->getWindow(), 5, 5);
    EXPECT_TRUE(animation->isRunning());
    EXPECT_EQ(log.values, (std::vector<float>{0.0f}));
    std::vector<int> shown;
    for (int step = 0; step < 5; ++step) {
        animation->nextFrame();
        shown.push_back(imageAt(5, 5));
    }
    EXPECT_EQ(shown, (std::vector<int>{1, 2, 3, 0, 1}));
    shown.clear();
    for (int step = 0; step < 3; ++step) {
        animation->previousFrame();
        shown.push_back(imageAt(5, 5));
    }
    EXPECT_EQ(shown, (std::vector<int>{0, 3, 2}));
    animation->setValue(1000.0f);
    EXPECT_EQ(imageAt(5, 5), 3) << "never beyond the strip";
    guitest::pressIn(frame->getWindow(), 5, 5);
    EXPECT_FALSE(animation->isRunning());
    EXPECT_EQ(log.values.size(), 1u) << "stopping notifies nobody";
}

TEST_F(StripControlsTest, DigitDisplayShowsClampedWholeNumbers) {
    const int left[] = {0, 30, 60, 90, 120, 150, 180, 210, 240};
    const int top[] = {0, 0, 0, 0, 0, 0, 0, 0, 0};
    auto* display =
        add(new DigitDisplay(Rect(0, 0, 90, 10), &log, 1, 0, 3, left, top, 30, 10, strip));
    const struct {
        float value;
        int digits[3];
    } cases[] = {{42.7f, {0, 4, 2}}, {1234.0f, {9, 9, 9}}, {-5.0f, {0, 0, 0}}, {7.0f, {0, 0, 7}}};
    for (const auto& c : cases) {
        display->setValue(c.value);
        for (int place = 0; place < 3; ++place) {
            EXPECT_EQ(imageAt(left[place] + 5, 5), c.digits[place]) << c.value << " " << place;
        }
    }
    display->setValue(499.5f);
    EXPECT_FLOAT_EQ(display->normalizedValue(), 0.5f);
    display->setValue(5000.0f);
    EXPECT_EQ(display->normalizedValue(), 1.0f);

    // Bounds changed afterwards: no division by zero, no digit outside the ten images.
    display->setMaximum(5.0f);
    display->setValue(3.0f);
    EXPECT_EQ(display->digitAt(0), 0);
    display->setMaximum(999.0f);
    display->setMinimum(-500.0f);
    display->setValue(-321.0f);
    for (int place = 0; place < 3; ++place) {
        EXPECT_EQ(display->digitAt(place), 0);
    }

    DigitDisplay wide(Rect(0, 0, 10, 10), &log, 2, 0, 9, left, top, 30, 10, nullptr);
    EXPECT_EQ(wide.getMaximum(), 9999999.0f);
}

TEST_F(StripControlsTest, LevelMeterLightsWholeSegmentsAndFallsAStepPerDraw) {
    auto* on = new ResourceBitmap(meterOnId);
    auto* off = new ResourceBitmap(meterOffId);
    auto* horizontal = add(new LevelMeter(Rect(20, 0, 120, 20), on, off, 10, styleHorizontal));
    auto* vertical = add(new LevelMeter(Rect(130, 0, 150, 100), on, off, 10, 0));
    on->release();
    off->release();

    horizontal->setValue(0.55f);
    frame->drawWidgetNow(horizontal);
    EXPECT_EQ(horizontal->getLitRect(), Rect(20, 0, 80, 20));
    EXPECT_EQ(horizontal->getUnlitRect(), Rect(80, 0, 120, 20));
    const platformtest::Image bar = platformtest::captureWindow(frame->getWindow());
    EXPECT_EQ(bar.pixel(79, 5), 0x00FF00u);
    EXPECT_EQ(bar.pixel(80, 5), 0x004000u);

    vertical->setValue(0.3f);
    frame->drawWidgetNow(vertical);
    EXPECT_EQ(vertical->getUnlitRect().bottom, 70);
    EXPECT_EQ(vertical->getLitRect().top, 70);

    horizontal->setFallStep(0.1f);
    horizontal->setValue(0.8f);
    frame->drawWidgetNow(horizontal);
    horizontal->setValue(0.2f);
    frame->drawWidgetNow(horizontal);
    EXPECT_FLOAT_EQ(horizontal->getValue(), 0.7f);
    horizontal->setValue(5.0f);
    frame->drawWidgetNow(horizontal);
    EXPECT_EQ(horizontal->getValue(), 1.0f);

    LevelMeter dark(Rect(0, 0, 10, 10), nullptr, nullptr, 10, 0);
    dark.setValue(0.5f);
    dark.draw(nullptr);
    EXPECT_EQ(dark.getValue(), 0.5f);
    EXPECT_EQ(dark.getDrawnValue(), -1.0f);
}

} // namespace
