// The frame's host-window mode and its placement queries, against a recording host that opens
// real windows of our layer.
#include "GuiTestSupport.h"
#include "effect/ExtendedEffect.h"
#include "effect/Module.h"
#include "gui/GuiEditor.h"
#include "platform/ModuleHandle.h"
#include "support/RecordingHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr std::int32_t openWindowRequest = 39;
constexpr std::int32_t closeWindowRequest = 40;

class PlainEffect : public ExtendedEffect {
public:
    explicit PlainEffect(HostCallback callback) : ExtendedEffect(callback, 1, 1) {}
    void processAccumulate(float**, float**, std::int32_t) override {}
};

std::int16_t shortAt(const unsigned char* record, std::size_t offset) {
    std::int16_t value = 0;
    std::memcpy(&value, record + offset, sizeof value);
    return value;
}

std::size_t windowSize(HWND window, bool height) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return static_cast<std::size_t>(height ? rect.bottom - rect.top : rect.right - rect.left);
}

class HostWindowTest : public testing::Test {
protected:
    void SetUp() override {
        moduleHandle = win32layer::currentModuleHandle();
        effect = std::make_unique<PlainEffect>(RecordingHost::callback());
        editor = new GuiEditor(effect.get());
    }
    // The host answers the open request with this window.
    void hostOpens(int width, int height) {
        hostWindow = std::make_unique<guitest::HostWindow>(width, height);
        host.answerWith(openWindowRequest, reinterpret_cast<HostValue>(hostWindow->window));
        host.answerWith(closeWindowRequest, 1);
    }

    RecordingHost host;
    std::unique_ptr<PlainEffect> effect;
    GuiEditor* editor = nullptr;
    std::unique_ptr<guitest::HostWindow> hostWindow;
};

TEST_F(HostWindowTest, RequestDescribesTheWindow) {
    const std::string longTitle(200, 'T');
    EditorFrame frame(Rect(70000, -3, 70250, 417), longTitle.c_str(), editor, 0x1234);
    const unsigned char* request = frame.getHostWindowRequest();
    ASSERT_NE(request, nullptr);
    EXPECT_EQ(std::strlen(reinterpret_cast<const char*>(request)), 127u);
    EXPECT_EQ(shortAt(request, 128), static_cast<std::int16_t>(70000 & 0xFFFF));
    EXPECT_EQ(shortAt(request, 130), -3);
    EXPECT_EQ(shortAt(request, 132), 250);
    EXPECT_EQ(shortAt(request, 134), 420);
    std::int32_t style = 0;
    std::memcpy(&style, request + 136, sizeof style);
    EXPECT_EQ(style, 0x1234);
    for (std::size_t i = 140; i < 152; ++i) {
        EXPECT_EQ(request[i], 0) << i;
    }
    EXPECT_FALSE(frame.isOpen());
    EXPECT_TRUE(host.requests().empty()) << "nothing is opened before openHostWindow";
}

TEST_F(HostWindowTest, OpensOnceAndClosesWithTheFrame) {
    hostOpens(300, 500);
    {
        EditorFrame frame(Rect(0, 0, 250, 420), "Brisolen", editor, 0);
        const Point where(0x12345, 77);
        EXPECT_TRUE(frame.openHostWindow(&where));
        EXPECT_TRUE(frame.isOpen());
        EXPECT_EQ(GetParent(frame.getWindow()), hostWindow->window);
        const auto opened = host.requestsWithOpcode(openWindowRequest);
        ASSERT_EQ(opened.size(), 1u);
        EXPECT_EQ(opened[0].data, frame.getHostWindowRequest());
        EXPECT_EQ(shortAt(frame.getHostWindowRequest(), 128), 0x2345);
        EXPECT_EQ(shortAt(frame.getHostWindowRequest(), 130), 77);

        EXPECT_FALSE(frame.openHostWindow(nullptr)) << "already open: only raised";
        EXPECT_EQ(host.requestsWithOpcode(openWindowRequest).size(), 1u);
        EXPECT_TRUE(host.requestsWithOpcode(closeWindowRequest).empty());
    }
    const auto closed = host.requestsWithOpcode(closeWindowRequest);
    ASSERT_EQ(closed.size(), 1u);
    EXPECT_NE(closed[0].data, nullptr);
}

TEST_F(HostWindowTest, RefusedWindowLeavesTheFrameClosed) {
    EditorFrame frame(Rect(0, 0, 250, 420), "Brisolen", editor, 0);
    EXPECT_FALSE(frame.openHostWindow(nullptr));
    EXPECT_FALSE(frame.isOpen());
    EXPECT_FALSE(frame.closeHostWindow());
}

TEST_F(HostWindowTest, ChildWindowModeNeverAsksTheHost) {
    guitest::HostWindow parent;
    EditorFrame frame(Rect(0, 0, 250, 420), parent.window, editor);
    EXPECT_FALSE(frame.openHostWindow(nullptr));
    EXPECT_FALSE(frame.closeHostWindow());
    EXPECT_TRUE(host.requests().empty());
}

TEST_F(HostWindowTest, ResizingStopsAtTheFirstClearlyLargerWindow) {
    const int border = 2 * GetSystemMetrics(SM_CYDLGFRAME);
    struct Case {
        const char* name;
        int hostWidth;
        int hostHeight;
        bool hostFollows;
    } cases[] = {{"snugHostFollows", 250 + border, 420 + border, true},
                 {"roomyHostStays", 600, 700, false}};
    for (const Case& c : cases) {
        hostOpens(c.hostWidth, c.hostHeight);
        EditorFrame frame(Rect(0, 0, 250, 420), "Brisolen", editor, 0);
        ASSERT_TRUE(frame.openHostWindow(nullptr)) << c.name;
        EXPECT_FALSE(frame.setSize(250, 420)) << c.name << ": the same size moves nothing";
        EXPECT_TRUE(frame.setSize(300, 450)) << c.name;
        EXPECT_EQ(windowSize(frame.getWindow(), false), 300u) << c.name;
        EXPECT_EQ(windowSize(frame.getWindow(), true), 450u) << c.name;
        EXPECT_EQ(frame.getBounds(), Rect(0, 0, 300, 450)) << c.name;
        const std::size_t expectedWidth =
            c.hostFollows ? static_cast<std::size_t>(300 + border) : 600u;
        EXPECT_EQ(windowSize(hostWindow->window, false), expectedWidth) << c.name;
    }
}

TEST_F(HostWindowTest, PlacementReportsNothingOnceTheWindowIsGone) {
    hostOpens(300, 500);
    EditorFrame frame(Rect(0, 0, 250, 420), "Brisolen", editor, 0);
    ASSERT_TRUE(frame.openHostWindow(nullptr));
    Rect size;
    EXPECT_TRUE(frame.getSize(size));
    EXPECT_EQ(size.getWidth(), 300);
    EXPECT_EQ(size.getHeight(), 500);
    DestroyWindow(hostWindow->window);
    hostWindow->window = nullptr;
    int x = 0;
    int y = 0;
    EXPECT_FALSE(frame.getPosition(x, y));
    EXPECT_FALSE(frame.getSize(size));
    EXPECT_FALSE(frame.setSize(400, 400));
}

} // namespace
