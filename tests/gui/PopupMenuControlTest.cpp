// The popup menu control: its entry list bookkeeping, and the menu it shows in a frame of our
// layer, answered in place of the user.
#include "gui/PopupMenuControl.h"
#include "GuiTestSupport.h"
#include "effect/Module.h"
#include "gui/Canvas.h"
#include "gui/ResourceBitmap.h"
#include "platform/ModuleHandle.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

using platformtest::InputSnapshot;
using platformtest::TrackedMenu;

constexpr int stripId = 310; // image 0 is the colour (0, 100, 200)
const Rect menuBounds(30, 60, 130, 78);

std::vector<std::string> entriesOf(PopupMenuControl& control) {
    std::vector<std::string> texts;
    char text[PopupMenuControl::textCapacity];
    for (int i = 0; control.getEntry(i, text); ++i)
        texts.emplace_back(text);
    return texts;
}

std::string currentOf(PopupMenuControl& control) {
    char text[PopupMenuControl::textCapacity] = "";
    return control.getCurrent(text) == -1 ? "<none>" : text;
}

// One step of list editing and what the list and the current entry are afterwards.
struct ListStep {
    enum Kind { add, remove, select, clear } kind;
    const char* text;
    int index;
    bool result;
    std::vector<std::string> entries;
    int current;
};

struct ListCase {
    const char* name;
    std::vector<ListStep> steps;
};
// Names the case in test listings instead of dumping its bytes.
void PrintTo(const ListCase& c, std::ostream* out) {
    *out << c.name;
}

class EntryList : public testing::TestWithParam<ListCase> {};

TEST_P(EntryList, KeepsTheSameTextCurrentAcrossEdits) {
    PopupMenuControl control(menuBounds, nullptr, 0, nullptr, nullptr, 0);
    int stepNumber = 0;
    for (const ListStep& step : GetParam().steps) {
        SCOPED_TRACE("step " + std::to_string(stepNumber++));
        bool result = true;
        switch (step.kind) {
        case ListStep::add:
            result = control.addEntry(step.text, step.index);
            break;
        case ListStep::remove:
            result = control.removeEntry(step.index);
            break;
        case ListStep::select:
            result = control.setCurrent(step.index);
            break;
        case ListStep::clear:
            result = control.removeAllEntries();
            break;
        }
        EXPECT_EQ(result, step.result);
        EXPECT_EQ(entriesOf(control), step.entries);
        EXPECT_EQ(control.getCurrent(nullptr), step.current);
        EXPECT_EQ(control.getEntryCount(), int(step.entries.size()));
    }
}

using S = ListStep;
INSTANTIATE_TEST_SUITE_P(
    Edits, EntryList,
    testing::Values(
        ListCase{"firstEntryBecomesCurrentEvenASeparator",
                 {S{S::add, "-", -1, true, {"-"}, 0}, S{S::add, "a", -1, true, {"-", "a"}, 0},
                  S{S::select, nullptr, 0, false, {"-", "a"}, 0}}},
        ListCase{"insertBeforeTheCurrentMovesIt",
                 {S{S::add, "a", -1, true, {"a"}, 0}, S{S::add, "b", -1, true, {"a", "b"}, 0},
                  S{S::add, "c", -1, true, {"a", "b", "c"}, 0},
                  S{S::select, nullptr, 2, true, {"a", "b", "c"}, 2},
                  S{S::add, "z", 0, true, {"z", "a", "b", "c"}, 3},
                  S{S::add, "y", 4, true, {"z", "a", "b", "c", "y"}, 3}}},
        ListCase{"indexesPastTheEndAppend",
                 {S{S::add, "a", -1, true, {"a"}, 0}, S{S::add, "b", 7, true, {"a", "b"}, 0},
                  S{S::add, nullptr, 99, true, {"a", "b", ""}, 0}}},
        ListCase{"removingBeforeTheCurrentKeepsItsText",
                 {S{S::add, "a", -1, true, {"a"}, 0}, S{S::add, "b", -1, true, {"a", "b"}, 0},
                  S{S::add, "c", -1, true, {"a", "b", "c"}, 0},
                  S{S::select, nullptr, 2, true, {"a", "b", "c"}, 2},
                  S{S::remove, nullptr, 0, true, {"b", "c"}, 1},
                  S{S::remove, nullptr, 1, true, {"b"}, 0}}},
        ListCase{"removingTheFirstWhileCurrentLeavesNone",
                 {S{S::add, "a", -1, true, {"a"}, 0}, S{S::add, "b", -1, true, {"a", "b"}, 0},
                  S{S::remove, nullptr, 0, true, {"b"}, -1},
                  S{S::add, "c", -1, true, {"b", "c"}, 0}}},
        ListCase{"outOfRangeChangesNothing",
                 {S{S::add, "a", -1, true, {"a"}, 0}, S{S::remove, nullptr, 1, false, {"a"}, 0},
                  S{S::remove, nullptr, -1, false, {"a"}, 0},
                  S{S::select, nullptr, 1, false, {"a"}, 0},
                  S{S::select, nullptr, -1, false, {"a"}, 0},
                  S{S::remove, nullptr, 0, true, {}, -1}, S{S::clear, nullptr, 0, true, {}, -1}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PopupMenuEntries, HoldAtMost128TextsOf255Characters) {
    PopupMenuControl control(menuBounds, nullptr, 0, nullptr, nullptr, 0);
    for (int i = 0; i < PopupMenuControl::maxEntries; ++i)
        ASSERT_TRUE(control.addEntry(std::to_string(i).c_str(), -1));
    EXPECT_FALSE(control.addEntry("one too many", -1));
    EXPECT_EQ(control.getEntryCount(), 128);
    control.removeAllEntries();
    control.addEntry(std::string(300, 'q').c_str(), -1);
    EXPECT_EQ(entriesOf(control), std::vector<std::string>{std::string(255, 'q')});
}

TEST(PopupMenuEntries, SetCurrentMarksForRedrawWithoutNotifying) {
    PopupMenuControl control(menuBounds, nullptr, 0, nullptr, nullptr, 0);
    control.addEntry("a", -1);
    control.addEntry("b", -1);
    control.setValue(0.0f);
    control.setDrawnValue(0.0f);
    EXPECT_TRUE(control.setCurrent(1));
    EXPECT_EQ(control.getDrawnValue(), 1.0f);
    control.setValue(0.3f);
    EXPECT_TRUE(control.setCurrent(1));
    EXPECT_EQ(control.getDrawnValue(), 0.0f);
}

// Records the current entry at every report.
class ChoiceLog : public ValueListener {
public:
    void valueChanged(Canvas*, ValueControl* control) override {
        choices.push_back(static_cast<PopupMenuControl*>(control)->getCurrent(nullptr));
    }
    std::vector<int> choices;
};

class PopupMenuControlTest : public testing::Test {
protected:
    void SetUp() override {
        moduleHandle = win32layer::currentModuleHandle();
        start = platformtest::liveCounts();
        frame = std::make_unique<EditorFrame>(Rect(0, 0, 250, 420), host.window, nullptr);
        frame->drawWidgetNow(nullptr);
    }
    void TearDown() override {
        platformtest::clearMenuHandler();
        frame.reset();
        const auto end = platformtest::liveCounts();
        EXPECT_EQ(end.windows, start.windows) << "the menu windows and the frame are gone";
        EXPECT_EQ(end.gdiObjects, start.gdiObjects);
    }

    PopupMenuControl* addControl(int style, ResourceBitmap* pressed = nullptr) {
        auto* control = new PopupMenuControl(menuBounds, &log, 3, nullptr, pressed, style);
        for (const char* text : {"Low", "-", "Mid", "High"})
            control->addEntry(text, -1);
        frame->addWidget(control);
        return control;
    }
    // Clicks the control; the handler answers the menu with `answer` and keeps what it saw.
    void clickAndAnswer(int answer, int button = VK_LBUTTON,
                        const InputSnapshot* modifiers = nullptr) {
        shown = TrackedMenu{};
        menusShown = 0;
        platformtest::setMenuHandler([this, answer](const TrackedMenu& menu) {
            shown = menu;
            ++menusShown;
            frameDuringMenu = platformtest::captureWindow(frame->getWindow());
            return answer;
        });
        guitest::pressIn(frame->getWindow(), 60, 70, button, modifiers);
    }

    platformtest::LiveCounts start;
    guitest::HostWindow host;
    std::unique_ptr<EditorFrame> frame;
    ChoiceLog log;
    TrackedMenu shown;
    int menusShown = 0;
    platformtest::Image frameDuringMenu;
};

TEST_F(PopupMenuControlTest, ShowsEveryEntryBelowTheControlAndReportsTheChoice) {
    PopupMenuControl* control = addControl(0);
    clickAndAnswer(3);
    ASSERT_EQ(menusShown, 1);
    ASSERT_EQ(shown.items.size(), 4u);
    EXPECT_TRUE(shown.items[1].separator());
    EXPECT_EQ(shown.items[3].text, "High");
    EXPECT_EQ(shown.items[3].id, 3u);
    for (const auto& item : shown.items)
        EXPECT_EQ(item.flags & MF_CHECKED, 0u) << "no check marks without the style";
    const POINT below = guitest::toScreen(frame->getWindow(), menuBounds.left, menuBounds.bottom);
    EXPECT_EQ(shown.screenRect.left, below.x);
    EXPECT_EQ(shown.screenRect.top, below.y);
    EXPECT_EQ(control->getCurrent(nullptr), 3);
    EXPECT_EQ(log.choices, std::vector<int>{3});
    EXPECT_EQ(frame->getFocusWidget(), nullptr);
    MSG leftover{};
    EXPECT_FALSE(PeekMessageA(&leftover, frame->getWindow(), WM_COMMAND, WM_COMMAND, PM_NOREMOVE));
}

TEST_F(PopupMenuControlTest, AtTopWithCheckMarkOnTheCurrentEntryOnly) {
    PopupMenuControl* control = addControl(styleMenuAtTop | styleCheckCurrent);
    control->setCurrent(2);
    clickAndAnswer(2);
    const POINT over = guitest::toScreen(frame->getWindow(), menuBounds.left, menuBounds.top);
    EXPECT_EQ(shown.screenRect.top, over.y);
    ASSERT_EQ(shown.items.size(), 4u);
    for (size_t i = 0; i < shown.items.size(); ++i)
        EXPECT_EQ((shown.items[i].flags & MF_CHECKED) != 0, i == 2) << "item " << i;
    EXPECT_EQ(log.choices, std::vector<int>{2}) << "choosing the current entry still reports";
}

TEST_F(PopupMenuControlTest, DismissingOrChoosingASeparatorReportsNothing) {
    PopupMenuControl* control = addControl(0);
    clickAndAnswer(-1);
    clickAndAnswer(1);
    EXPECT_EQ(menusShown, 1);
    EXPECT_EQ(control->getCurrent(nullptr), 0);
    EXPECT_TRUE(log.choices.empty());
}

TEST_F(PopupMenuControlTest, OnlyAPlainLeftClickOpens) {
    addControl(0);
    InputSnapshot control;
    control.control = true;
    clickAndAnswer(0, VK_LBUTTON, &control);
    EXPECT_EQ(menusShown, 0);
    clickAndAnswer(0, VK_RBUTTON);
    EXPECT_EQ(menusShown, 0);
}

TEST_F(PopupMenuControlTest, ShowsThePressedLookWhileTheMenuIsOpen) {
    auto* pressed = new ResourceBitmap(stripId);
    PopupMenuControl* control = addControl(0, pressed);
    pressed->release(); // the control keeps its own reference
    frame->drawWidgetNow(nullptr);
    const int x = menuBounds.left + 2, y = menuBounds.top + 2;
    EXPECT_EQ(platformtest::captureWindow(frame->getWindow()).pixel(x, y), 0x000000u);
    clickAndAnswer(-1);
    EXPECT_EQ(frameDuringMenu.pixel(x, y), 0x0064C8u) << "the pressed background";
    EXPECT_EQ(platformtest::captureWindow(frame->getWindow()).pixel(x, y), 0x000000u)
        << "the normal look once the menu closed, also without a choice";
    EXPECT_EQ(currentOf(*control), "Low");
}

TEST_F(PopupMenuControlTest, AnEmptyListShowsNoMenuAndAnEmptyText) {
    auto* control = new PopupMenuControl(menuBounds, &log, 3, nullptr, nullptr, 0);
    frame->addWidget(control);
    frame->drawWidgetNow(nullptr);
    const platformtest::Image image = platformtest::captureWindow(frame->getWindow());
    for (int y = menuBounds.top + 1; y < menuBounds.bottom; ++y)
        for (int x = menuBounds.left + 1; x < menuBounds.right; ++x)
            ASSERT_EQ(image.pixel(x, y), 0x000000u) << "no text without a current entry";
    clickAndAnswer(0);
    EXPECT_EQ(menusShown, 0);
    EXPECT_EQ(frame->getFocusWidget(), nullptr);
    EXPECT_TRUE(log.choices.empty());
}

} // namespace
