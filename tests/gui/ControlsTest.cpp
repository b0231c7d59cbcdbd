// Controls drawn into a frame of our layer: sliders, readouts, the splash panel and the value
// control base, and the GUI editor's paced idle.
#include "GuiTestSupport.h"
#include "effect/ExtendedEffect.h"
#include "effect/Module.h"
#include "gui/Canvas.h"
#include "gui/GuiEditor.h"
#include "gui/ImageSlider.h"
#include "gui/OffscreenCanvas.h"
#include "gui/ResourceBitmap.h"
#include "gui/SplashPanel.h"
#include "gui/TextReadout.h"
#include "platform/ModuleHandle.h"
#include "support/RecordingHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

namespace {

constexpr int trackId = 129;
constexpr int handleId = 130;
constexpr int informationId = 131;

class FrameTest : public testing::Test {
protected:
    void SetUp() override {
        moduleHandle = win32layer::currentModuleHandle();
        frame = std::make_unique<EditorFrame>(Rect(0, 0, 250, 420), host.window, nullptr);
        track = new ResourceBitmap(trackId);
        handle = new ResourceBitmap(handleId);
    }
    void TearDown() override {
        frame.reset();
        track->release();
        handle->release();
        platformtest::setInput(platformtest::InputSnapshot{});
    }
    template <typename T> T* add(T* widget) {
        frame->addWidget(widget);
        return widget;
    }
    platformtest::Image capture() { return platformtest::captureWindow(frame->getWindow()); }

    guitest::HostWindow host;
    std::unique_ptr<EditorFrame> frame;
    ResourceBitmap* track = nullptr;
    ResourceBitmap* handle = nullptr;
};

TEST_F(FrameTest, OffscreenCanvasIsClearedEverywhereAlphaNotDrawn) {
    for (const Color background : {colorBlack, Color{10, 20, 30, 0}, Color{10, 20, 30, 99}}) {
        OffscreenCanvas offscreen(frame.get(), 16, 250, background);
        const platformtest::Image image = platformtest::captureBitmap(offscreen.getBitmap());
        ASSERT_EQ(image.width, 16);
        ASSERT_EQ(image.height, 250);
        const std::uint32_t expected =
            (background.red << 16) | (background.green << 8) | background.blue;
        int wrong = 0;
        for (int y = 0; y < 250; ++y) {
            for (int x = 0; x < 16; ++x) {
                wrong += image.pixel(x, y) != expected ? 1 : 0;
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}

struct HandleCase {
    float value;
    int handleTop;
};

TEST_F(FrameTest, VerticalHandlePositionFollowsTheValue) {
    // Values outside 0..1 are limited at the top only; below the travel the handle leaves the
    // slider's picture.
    const HandleCase cases[] = {{1.0f, 70},
                                {0.0f, 307},
                                {0.9f, 93},
                                {0.5f, 188},
                                {1.5f, 70},
                                {-0.5f, 425},
                                {std::numeric_limits<float>::quiet_NaN(), 70}};
    auto* slider = add(new VerticalImageSlider(Rect(105, 70, 121, 320), nullptr, 0, 70, 307, handle,
                                               track, Point(0, 0), styleZeroAtBottom));
    EXPECT_EQ(slider->getHandlePos(), 307) << "before the first draw";
    for (const HandleCase& c : cases) {
        slider->setValue(c.value);
        frame->drawWidgetNow(slider);
        EXPECT_EQ(slider->getHandlePos(), c.handleTop) << c.value;
        if (c.handleTop > 307) {
            continue;
        }
        const platformtest::Image image = capture();
        // The cap's bottom row is never white; the row below it is the track again.
        EXPECT_NE(image.pixel(110, c.handleTop + 11), 0xFFFFFFu) << c.value;
        if (c.handleTop + 12 < 320) {
            EXPECT_EQ(image.pixel(110, c.handleTop + 12), 0xFFFFFFu) << c.value;
        }
    }
}

TEST_F(FrameTest, HorizontalHandleGrowsWithTheValueWhenZeroIsLeft) {
    auto* slider = add(new HorizontalImageSlider(Rect(0, 380, 250, 392), nullptr, 0, 0, 236, handle,
                                                 nullptr, Point(0, 0), styleZeroAtLeft));
    const struct {
        float value;
        int handleLeft;
    } cases[] = {{0.0f, 0}, {1.0f, 236}, {0.5f, 118}};
    for (const auto& c : cases) {
        slider->setValue(c.value);
        frame->drawWidgetNow(slider);
        EXPECT_EQ(slider->getHandlePos(), c.handleLeft) << c.value;
    }
}

TEST_F(FrameTest, OpaqueHandleShowsItsWhitePixels) {
    auto* slider = add(new VerticalImageSlider(Rect(105, 70, 121, 320), nullptr, 0, 70, 307, handle,
                                               track, Point(0, 0), styleZeroAtBottom));
    slider->setValue(0.9f);
    frame->drawWidgetNow(slider);
    EXPECT_EQ(capture().pixel(113, 93), 0xCCCCCCu) << "keyed: the track line shows through";
    slider->setTransparentHandle(false);
    frame->drawWidgetNow(slider);
    EXPECT_EQ(capture().pixel(113, 93), 0xFFFFFFu);
}

class CountingReadout : public TextReadout {
public:
    using TextReadout::TextReadout;
    void draw(Canvas* canvas) override {
        ++draws;
        TextReadout::draw(canvas);
    }
    int draws = 0;
};

TEST_F(FrameTest, ValueControlRedrawsOnlyWhenItsValueChanged) {
    auto* readout = add(new CountingReadout(Rect(0, 0, 60, 14), nullptr, 1));
    frame->drawWidgetNow(nullptr);
    readout->draws = 0;
    readout->setDrawnValue(-1.0f);
    readout->setValue(0.0f);
    frame->idle();
    EXPECT_EQ(readout->draws, 1) << "a new control is drawn by its first update";
    frame->idle();
    EXPECT_EQ(readout->draws, 1);
    readout->setValue(1.5f);
    EXPECT_EQ(readout->getValue(), 1.5f) << "no bound is applied";
    frame->idle();
    EXPECT_EQ(readout->draws, 2);
    readout->setValue(std::numeric_limits<float>::quiet_NaN());
    frame->idle();
    EXPECT_EQ(readout->draws, 2) << "an unordered comparison is no change";
}

TEST_F(FrameTest, ReadoutSettersMarkForRedrawOnlyOnRealChanges) {
    auto* readout = add(new CountingReadout(Rect(0, 0, 60, 14), nullptr, 1));
    frame->drawWidgetNow(nullptr);
    frame->idle();
    readout->draws = 0;
    readout->setTextColor(Color{255, 255, 255, 77});
    frame->idle();
    EXPECT_EQ(readout->draws, 0) << "alpha alone is no change";
    readout->setFontId(fontMedium);
    frame->idle();
    EXPECT_EQ(readout->draws, 0);
    readout->setFontId(fontSmall);
    frame->idle();
    EXPECT_EQ(readout->draws, 1);
    readout->setBorderColor(colorRed);
    frame->idle();
    EXPECT_EQ(readout->draws, 2);
}

// Renders a readout alone on white and returns its pixels.
platformtest::Image renderReadout(EditorFrame& frame, TextReadout* readout) {
    frame.addWidget(readout);
    frame.drawWidgetNow(readout);
    platformtest::Image image = platformtest::captureWindow(frame.getWindow());
    frame.removeWidget(readout);
    delete readout;
    return image;
}

TextReadout* blackOnWhite(int style = 1) {
    auto* readout = new TextReadout(Rect(10, 10, 80, 26), nullptr, style);
    readout->setTextColor(colorBlack);
    readout->setBackgroundColor(colorWhite);
    readout->setBorderColor(colorWhite);
    readout->setFontId(fontSmall);
    return readout;
}

const char* fixedText = nullptr;
void writeFixedText(float, char* text) {
    std::strcpy(text, fixedText);
}

TEST_F(FrameTest, ReadoutWithoutConversionPrintsTwoDecimals) {
    const struct {
        float value;
        const char* text;
    } cases[] = {{0.5f, "0.50"}, {1.0f, "1.00"}, {-0.25f, "-0.25"}, {12.345f, "12.35"}};
    for (const auto& c : cases) {
        auto* formatted = blackOnWhite();
        formatted->setValue(c.value);
        auto* written = blackOnWhite();
        fixedText = c.text;
        written->setValueToText(&writeFixedText);
        const platformtest::Image expected = renderReadout(*frame, written);
        const platformtest::Image actual = renderReadout(*frame, formatted);
        EXPECT_EQ(actual.rgb, expected.rgb) << c.text;
    }
}

TEST_F(FrameTest, ReadoutStylesDrawShadowUnderTextAndBevelOverBitmaps) {
    fixedText = "";
    auto* empty = blackOnWhite();
    empty->setBorderColor(colorRed);
    empty->setValueToText(&writeFixedText);
    const platformtest::Image box = renderReadout(*frame, empty);
    EXPECT_EQ(box.pixel(10, 10), 0xFF0000u) << "the frame";
    EXPECT_EQ(box.pixel(40, 18), 0xFFFFFFu) << "an empty text leaves the box empty";

    fixedText = "88";
    auto* plain = blackOnWhite();
    plain->setValueToText(&writeFixedText);
    auto* shadowed = blackOnWhite(1 | styleDropShadow);
    shadowed->setValueToText(&writeFixedText);
    shadowed->setDropShadowColor(colorRed);
    const platformtest::Image withoutShadow = renderReadout(*frame, plain);
    const platformtest::Image withShadow = renderReadout(*frame, shadowed);
    int shadowPixels = 0;
    for (int y = 10; y <= 27; ++y) {
        for (int x = 10; x <= 81; ++x) {
            if (withoutShadow.pixel(x, y) == 0x000000u) {
                EXPECT_EQ(withShadow.pixel(x, y), 0x000000u) << "the text lies over its shadow";
            }
            const std::uint32_t p = withShadow.pixel(x, y);
            const bool reddish = (p >> 16) >= 200 && ((p >> 8) & 0xFF) < 160;
            shadowPixels += reddish ? 1 : 0;
        }
    }
    EXPECT_GT(shadowPixels, 0);

    auto* bevelled = new TextReadout(Rect(105, 70, 121, 90), track, styleBevelIn);
    bevelled->setBackgroundColor(colorRed);
    bevelled->setBorderColor(colorBlue);
    bevelled->setValueToText(&writeFixedText);
    fixedText = "";
    const platformtest::Image bevel = renderReadout(*frame, bevelled);
    EXPECT_EQ(bevel.pixel(110, 70), 0xFF0000u) << "top line in the background colour";
    EXPECT_EQ(bevel.pixel(105, 80), 0xFF0000u) << "left line";
    EXPECT_EQ(bevel.pixel(121, 80), 0x0000FFu) << "right line in the border colour";
    EXPECT_EQ(bevel.pixel(110, 90), 0x0000FFu) << "bottom line";
    EXPECT_EQ(bevel.pixel(113, 80), 0xCCCCCCu) << "the bitmap inside";
}

TEST_F(FrameTest, SplashValueSetFromOutsideShowsWithoutTakingOver) {
    auto* information = new ResourceBitmap(informationId);
    auto* panel = add(new SplashPanel(Rect(0, 0, 250, 55), nullptr, 3, information,
                                      Rect(22, 60, 222, 210), Point(0, 0)));
    information->release();
    frame->drawWidgetNow(nullptr);
    EXPECT_EQ(capture().pixel(100, 100), 0xFFFFFFu) << "hidden: nothing drawn";
    panel->setValue(1.0f);
    frame->drawWidgetNow(nullptr);
    EXPECT_NE(capture().pixel(100, 100), 0xFFFFFFu);
    EXPECT_EQ(frame->getModalWidget(), nullptr);
    EXPECT_EQ(panel->getBounds(), Rect(0, 0, 250, 55));
}

TEST_F(FrameTest, InactiveControlsIgnorePresses) {
    auto* slider = add(new VerticalImageSlider(Rect(105, 70, 121, 320), nullptr, 0, 70, 307, handle,
                                               track, Point(0, 0), styleZeroAtBottom));
    auto* panel = add(new SplashPanel(Rect(0, 0, 250, 55), nullptr, 3, nullptr,
                                      Rect(22, 60, 222, 210), Point(0, 0)));
    slider->setValue(0.9f);
    slider->setMouseActive(false);
    panel->setMouseActive(false);
    frame->drawWidgetNow(nullptr);
    platformtest::InputSnapshot alt;
    alt.alt = true;
    guitest::pressIn(frame->getWindow(), 112, 97, VK_LBUTTON, &alt);
    guitest::pressIn(frame->getWindow(), 112, 97);
    guitest::pressIn(frame->getWindow(), 100, 20);
    EXPECT_EQ(slider->getValue(), 0.9f);
    EXPECT_EQ(panel->getValue(), 0.0f);
    EXPECT_EQ(frame->getModalWidget(), nullptr);
    slider->idleWhileTracking();
}

class CountingEditor : public GuiEditor {
public:
    using GuiEditor::GuiEditor;
    void update() override { ++updates; }
    int updates = 0;
};

class PlainEffect : public ExtendedEffect {
public:
    explicit PlainEffect(HostCallback callback) : ExtendedEffect(callback, 1, 1) {}
    void processAccumulate(float**, float**, std::int32_t) override {}
};

TEST(GuiEditor, PacedIdleRunsAtMostEveryFiftyMilliseconds) {
    RecordingHost host;
    platformtest::useManualClock(5000);
    PlainEffect effect(RecordingHost::callback());
    auto* editor = new CountingEditor(&effect);
    EXPECT_EQ(effect.editor(), editor);
    EXPECT_EQ(effect.hostRecord()->capabilityFlags, flagEditor);
    const struct {
        std::uint32_t advance;
        int updates;
    } steps[] = {{20, 0}, {29, 0}, {1, 1}, {20, 1}, {30, 2}, {50, 3}};
    for (const auto& step : steps) {
        platformtest::advanceClock(step.advance);
        editor->requestUpdate();
        editor->pacedIdle();
        EXPECT_EQ(editor->updates, step.updates) << step.advance;
    }
    // Without a frame the idle work is the deferred update, and the host gets its idle turn.
    EXPECT_EQ(host.requestsWithOpcode(3).size(), 3u);
    editor->redrawAll(nullptr);
    EditorRect* rect = nullptr;
    EXPECT_EQ(editor->queryRect(&rect), 1);
    EXPECT_EQ(rect, &editor->getRect());
    platformtest::useSystemClock();
}

} // namespace
