#include "GuiTestSupport.h"
#include "effect/Module.h"
#include "gui/Canvas.h"
#include "platform/ModuleHandle.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

using guitest::HostWindow;
using guitest::RecordingWidget;

class EditorFrameTest : public testing::Test {
protected:
    void SetUp() override { moduleHandle = win32layer::currentModuleHandle(); }

    std::unique_ptr<EditorFrame> makeFrame() {
        return std::make_unique<EditorFrame>(Rect(0, 0, 250, 420), host.window, nullptr);
    }
    RecordingWidget* add(EditorFrame& frame, const Rect& bounds, const char* name) {
        auto* widget = new RecordingWidget(bounds, name, &log);
        EXPECT_TRUE(frame.addWidget(widget));
        return widget;
    }

    HostWindow host;
    std::string log;
};

TEST_F(EditorFrameTest, PressGoesToTheLatestWidgetUnderTheCursor) {
    auto frame = makeFrame();
    add(*frame, Rect(10, 10, 100, 100), "under");
    add(*frame, Rect(50, 50, 150, 150), "over");
    guitest::pressIn(frame->getWindow(), 60, 60);
    guitest::pressIn(frame->getWindow(), 20, 20);
    guitest::pressIn(frame->getWindow(), 200, 200);
    EXPECT_EQ(log, "over.press@60,60;under.press@20,20;");
}

TEST_F(EditorFrameTest, EdgesOfABoundsCountAsInside) {
    auto frame = makeFrame();
    add(*frame, Rect(105, 70, 121, 320), "slider");
    guitest::pressIn(frame->getWindow(), 121, 320);
    guitest::pressIn(frame->getWindow(), 105, 70);
    guitest::pressIn(frame->getWindow(), 122, 200);
    EXPECT_EQ(log, "slider.press@121,320;slider.press@105,70;");
}

TEST_F(EditorFrameTest, ModalWidgetTakesEveryPressUpdateAndIsDrawnLast) {
    auto frame = makeFrame();
    add(*frame, Rect(0, 0, 250, 420), "below");
    auto* modal = add(*frame, Rect(20, 20, 40, 40), "modal");
    add(*frame, Rect(100, 100, 200, 200), "above");
    EXPECT_TRUE(frame->setModalWidget(modal));
    EXPECT_FALSE(frame->setModalWidget(modal));
    EXPECT_EQ(frame->getModalWidget(), modal);

    guitest::pressIn(frame->getWindow(), 150, 150);
    guitest::pressIn(frame->getWindow(), 30, 30);
    EXPECT_EQ(log, "modal.press@30,30;");

    log.clear();
    frame->drawWidgetNow(nullptr);
    EXPECT_EQ(log, "below.draw;modal.draw;above.draw;modal.draw;");
    log.clear();
    frame->idle();
    EXPECT_EQ(log, "modal.update;");

    EXPECT_TRUE(frame->setModalWidget(nullptr));
    EXPECT_TRUE(frame->setModalWidget(nullptr));
}

TEST_F(EditorFrameTest, UpdatePassesWaitForTheFirstPaint) {
    auto frame = makeFrame();
    add(*frame, Rect(0, 0, 10, 10), "w");
    EXPECT_TRUE(frame->isFirstPaintPending());
    frame->idle();
    EXPECT_EQ(log, "");
    platformtest::pumpMessages();
    EXPECT_FALSE(frame->isFirstPaintPending());
    EXPECT_EQ(log, "w.draw;");
    log.clear();
    frame->idle();
    EXPECT_EQ(log, "w.update;");
}

TEST_F(EditorFrameTest, ListGrowsByTenAndRemovalKeepsOrder) {
    auto frame = makeFrame();
    RecordingWidget* widgets[11];
    for (int i = 0; i < 11; ++i) {
        widgets[i] = add(*frame, Rect(i, 0, i + 1, 1), std::to_string(i).c_str());
        EXPECT_EQ(frame->getWidgetCapacity(), i < 10 ? 10 : 20);
    }
    RecordingWidget stranger(Rect(0, 0, 1, 1), "stranger", &log);
    EXPECT_TRUE(frame->removeWidget(&stranger));
    EXPECT_EQ(frame->getWidgetCount(), 11);
    EXPECT_TRUE(frame->removeWidget(widgets[4]));
    EXPECT_EQ(frame->getWidgetCount(), 10);
    EXPECT_EQ(frame->getWidget(4), widgets[5]);
    EXPECT_EQ(frame->getWidget(9), widgets[10]);
    EXPECT_EQ(widgets[4]->getFrame(), frame.get()) << "a removed widget keeps its frame";
    delete widgets[4];
}

TEST_F(EditorFrameTest, FocusWidgetLosesFocusOnAPressElsewhereAndAtTeardown) {
    auto frame = makeFrame();
    auto* focused = add(*frame, Rect(0, 0, 50, 50), "focused");
    add(*frame, Rect(100, 100, 150, 150), "other");
    frame->setFocusWidget(focused);
    guitest::pressIn(frame->getWindow(), 10, 10);
    EXPECT_EQ(frame->getFocusWidget(), focused);
    guitest::pressIn(frame->getWindow(), 120, 120);
    EXPECT_EQ(frame->getFocusWidget(), nullptr);
    EXPECT_EQ(log, "focused.press@10,10;focused.focusLost;other.press@120,120;");
    log.clear();
    frame->setFocusWidget(focused);
    frame.reset();
    EXPECT_EQ(log, "focused.focusLost;focused.deleted;other.deleted;");
}

TEST_F(EditorFrameTest, WindowClassIsSharedAndGoesWithTheLastFrame) {
    const auto before = platformtest::liveCounts();
    {
        auto first = makeFrame();
        const char* name = EditorFrame::windowClassName();
        ASSERT_EQ(std::strlen(name), 14u);
        EXPECT_EQ(std::strncmp(name, "Plugin", 6), 0);
        for (int i = 6; i < 14; ++i) {
            EXPECT_TRUE((name[i] >= '0' && name[i] <= '9') || (name[i] >= 'a' && name[i] <= 'f'))
                << name;
        }
        char expected[15];
        std::snprintf(expected, sizeof expected, "Plugin%08x",
                      static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(moduleHandle)));
        EXPECT_STREQ(name, expected);
        {
            auto second = makeFrame();
            EXPECT_EQ(EditorFrame::windowClassUseCount(), 2);
            EXPECT_EQ(platformtest::liveCounts().windowClasses, before.windowClasses + 1);
        }
        EXPECT_EQ(platformtest::liveCounts().windowClasses, before.windowClasses + 1);
    }
    EXPECT_EQ(EditorFrame::windowClassUseCount(), 0);
    const auto after = platformtest::liveCounts();
    EXPECT_EQ(after.windowClasses, before.windowClasses);
    EXPECT_EQ(after.windows, before.windows);
}

TEST_F(EditorFrameTest, DestroyedWindowStopsTheUpdatePasses) {
    auto frame = makeFrame();
    add(*frame, Rect(0, 0, 10, 10), "w");
    platformtest::pumpMessages();
    log.clear();
    DestroyWindow(host.window);
    host.window = nullptr;
    EXPECT_FALSE(frame->isOpen());
    EXPECT_EQ(frame->getSystemWindow(), nullptr);
    frame->idle();
    EXPECT_EQ(log, "");
}

TEST_F(EditorFrameTest, FrameWithoutWindowIsClosedAndDrawsNothing) {
    EditorFrame frame(Rect(0, 0, 250, 420), nullptr, nullptr);
    auto* widget = new RecordingWidget(Rect(0, 0, 10, 10), "w", &log);
    frame.addWidget(widget);
    EXPECT_FALSE(frame.isOpen());
    EXPECT_EQ(frame.getWindow(), nullptr);
    frame.drawWidgetNow(nullptr);
    widget->drawNow();
    frame.idle();
    EXPECT_EQ(log, "");
}

} // namespace
