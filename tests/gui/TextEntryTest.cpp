// The text entry in a frame of our layer: opening the native edit over the readout, typing,
// closing by Return, by focus loss and by a click elsewhere, and what the listener hears.
#include "gui/TextEntry.h"
#include "GuiTestSupport.h"
#include "effect/Module.h"
#include "gui/Canvas.h"
#include "platform/ModuleHandle.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

using platformtest::InputSnapshot;

// Records the text of every report; redraws nothing itself (the entry draws after notifying).
class TextLog : public ValueListener {
public:
    void valueChanged(Canvas*, ValueControl* control) override {
        char text[TextEntry::textCapacity];
        static_cast<TextEntry*>(control)->getText(text);
        texts.emplace_back(text);
    }
    std::vector<std::string> texts;
};

const Rect entryBounds(20, 40, 120, 58);

class TextEntryTest : public testing::Test {
protected:
    void SetUp() override {
        moduleHandle = win32layer::currentModuleHandle();
        start = platformtest::liveCounts();
        frame = std::make_unique<EditorFrame>(Rect(0, 0, 250, 420), host.window, nullptr);
        entry = new TextEntry(entryBounds, &log, 7, "hello", nullptr, 0);
        frame->addWidget(entry);
        frame->drawWidgetNow(nullptr);
    }
    void TearDown() override {
        frame.reset();
        platformtest::setInput(InputSnapshot{});
        const auto end = platformtest::liveCounts();
        EXPECT_EQ(end.gdiObjects, start.gdiObjects) << "the edit's font is deleted";
    }

    void click(int x = 50, int y = 50, int button = VK_LBUTTON,
               const InputSnapshot* modifiers = nullptr) {
        guitest::pressIn(frame->getWindow(), x, y, button, modifiers);
    }
    std::string storedText() {
        char text[TextEntry::textCapacity];
        entry->getText(text);
        return text;
    }
    std::string editText() {
        char text[512] = "";
        GetWindowTextA(entry->getEditWindow(), text, sizeof text);
        return text;
    }

    platformtest::LiveCounts start;
    guitest::HostWindow host;
    std::unique_ptr<EditorFrame> frame;
    TextEntry* entry = nullptr;
    TextLog log;
};

TEST_F(TextEntryTest, APlainLeftClickOpensAnEditOverTheReadout) {
    click();
    ASSERT_TRUE(entry->isEditing());
    HWND edit = entry->getEditWindow();
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_EQ(frame->getFocusWidget(), entry);
    EXPECT_EQ(GetParent(edit), frame->getWindow());
    RECT placed{};
    GetWindowRect(edit, &placed);
    const POINT corner = guitest::toScreen(frame->getWindow(), entryBounds.left, entryBounds.top);
    EXPECT_EQ(placed.left, corner.x);
    EXPECT_EQ(placed.top, corner.y);
    EXPECT_EQ(placed.right - placed.left, entryBounds.getWidth() + 1) << "covers the outline";
    EXPECT_EQ(placed.bottom - placed.top, entryBounds.getHeight() + 1);
    EXPECT_EQ(editText(), "hello");
    EXPECT_EQ(GetWindowLongPtrA(edit, GWL_STYLE), LONG_PTR(0x50000081));
    EXPECT_EQ(SendMessageA(edit, EM_GETMARGINS, 0, 0), 0);

    click();
    EXPECT_EQ(entry->getEditWindow(), edit) << "a second click while editing does nothing more";
}

struct FontCase {
    FontId fontId;
    const char* face;
    LONG height;
};
// Names the case in test listings instead of dumping its bytes.
void PrintTo(const FontCase& c, std::ostream* out) {
    *out << "font id " << c.fontId;
}

class EditFont : public TextEntryTest, public testing::WithParamInterface<FontCase> {};

TEST_P(EditFont, ComesFromTheFontTableNeverBold) {
    entry->setFontId(GetParam().fontId);
    click();
    auto font = reinterpret_cast<HFONT>(SendMessageA(entry->getEditWindow(), WM_GETFONT, 0, 0));
    LOGFONTA description{};
    ASSERT_EQ(GetObjectA(font, sizeof description, &description), int(sizeof description));
    EXPECT_STREQ(description.lfFaceName, GetParam().face);
    EXPECT_EQ(description.lfHeight, GetParam().height);
    EXPECT_EQ(description.lfWeight, FW_NORMAL);
    EXPECT_EQ(description.lfPitchAndFamily, FF_SWISS | VARIABLE_PITCH);
    EXPECT_EQ(description.lfOutPrecision, OUT_STRING_PRECIS);
    EXPECT_EQ(description.lfClipPrecision, CLIP_STROKE_PRECIS);
}

INSTANTIATE_TEST_SUITE_P(Rows, EditFont,
                         testing::Values(FontCase{fontBold, "Arial", -12},
                                         FontCase{fontSymbol, "Symbol", -13},
                                         FontCase{fontTiny, "Small Fonts", -9},
                                         FontCase{99, "Arial", -12}, FontCase{-1, "Arial", -12}));

TEST_F(TextEntryTest, OnlyAPlainLeftClickOpens) {
    InputSnapshot shift;
    shift.shift = true;
    click(50, 50, VK_LBUTTON, &shift);
    click(50, 50, VK_RBUTTON);
    EXPECT_FALSE(entry->isEditing());
    entry->setMouseActive(false);
    click();
    EXPECT_FALSE(entry->isEditing());
}

TEST_F(TextEntryTest, ReturnStoresTheTextAndNotifiesOnlyOnAChange) {
    click();
    platformtest::pressKey(VK_END); // the edit opens with its caret before the text
    platformtest::typeText(" world");
    platformtest::pressKey(VK_RETURN);
    EXPECT_FALSE(entry->isEditing());
    EXPECT_EQ(frame->getFocusWidget(), nullptr);
    EXPECT_EQ(storedText(), "hello world");
    EXPECT_EQ(log.texts, std::vector<std::string>{"hello world"});

    click();
    platformtest::pressKey(VK_RETURN);
    EXPECT_FALSE(entry->isEditing());
    EXPECT_EQ(log.texts.size(), 1u) << "closing without a change notifies nothing";
}

TEST_F(TextEntryTest, EveryWayOfClosingStoresTheText) {
    struct Closing {
        const char* name;
        std::function<void()> close;
    };
    const Closing closings[] = {
        {"focus moves elsewhere", [&] { SetFocus(host.window); }},
        {"click elsewhere in the frame", [&] { click(200, 300); }},
        {"frame destroyed", [&] { frame.reset(); }},
    };
    for (const Closing& closing : closings) {
        SCOPED_TRACE(closing.name);
        log.texts.clear();
        click();
        ASSERT_TRUE(entry->isEditing());
        platformtest::pressKey(VK_END);
        platformtest::typeText("!");
        HWND edit = entry->getEditWindow();
        const std::string expected = storedText() + "!";
        if (!frame) {
            break;
        }
        closing.close();
        EXPECT_FALSE(IsWindow(edit));
        EXPECT_EQ(log.texts, std::vector<std::string>{expected});
        if (frame) {
            EXPECT_EQ(storedText(), expected);
            EXPECT_EQ(frame->getFocusWidget(), nullptr);
        }
    }
}

TEST_F(TextEntryTest, TypedTextBeyondTheBufferIsCutTo254) {
    click();
    SendMessageA(entry->getEditWindow(), EM_SETSEL, 0, -1);
    platformtest::typeText(std::string(300, 'x'));
    platformtest::pressKey(VK_RETURN);
    EXPECT_EQ(storedText(), std::string(254, 'x'));
}

TEST_F(TextEntryTest, SetTextMarksForRedrawAndCutsLongTexts) {
    entry->setValue(0.0f);
    entry->setDrawnValue(0.0f);
    entry->setText("hello");
    EXPECT_EQ(entry->getDrawnValue(), 1.0f) << "the same text still redraws";
    entry->setValue(0.5f);
    entry->setText("other");
    EXPECT_EQ(entry->getDrawnValue(), 0.0f);
    entry->setDrawnValue(0.5f);
    entry->setText(nullptr);
    EXPECT_EQ(entry->getDrawnValue(), 0.5f);
    EXPECT_EQ(storedText(), "other");
    entry->setText(std::string(400, 'y').c_str());
    EXPECT_EQ(storedText(), std::string(255, 'y'));

    TextEntry empty(entryBounds, &log, 0, nullptr, nullptr, 0);
    char text[TextEntry::textCapacity] = "junk";
    empty.getText(text);
    EXPECT_STREQ(text, "");
}

void shout(const char* text, char* display) {
    std::snprintf(display, TextEntry::textCapacity, "<%s>", text);
}

// The columns of the readout that hold text pixels (white on the black box).
int inkWidth(EditorFrame& frame) {
    frame.drawWidgetNow(nullptr);
    const platformtest::Image image = platformtest::captureWindow(frame.getWindow());
    int first = 1000, last = -1;
    for (int y = entryBounds.top + 1; y < entryBounds.bottom; ++y)
        for (int x = entryBounds.left + 1; x < entryBounds.right; ++x)
            if (image.pixel(x, y) != 0x000000) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
    return last < first ? 0 : last - first + 1;
}

TEST_F(TextEntryTest, TextToTextChangesTheDisplayButNotTheText) {
    const int plain = inkWidth(*frame);
    EXPECT_GT(plain, 0);
    entry->setTextToText(shout);
    EXPECT_GT(inkWidth(*frame), plain);
    EXPECT_EQ(storedText(), "hello");
}

TEST_F(TextEntryTest, DeletedWhileEditingTakesItsEditAlong) {
    click();
    HWND edit = entry->getEditWindow();
    frame->removeWidget(entry);
    delete entry;
    EXPECT_FALSE(IsWindow(edit));
    EXPECT_EQ(frame->getFocusWidget(), nullptr);
    SetFocus(host.window);
    EXPECT_TRUE(log.texts.empty());
}

} // namespace
