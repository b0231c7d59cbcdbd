// The built-in single-line edit control and popup menus, with typing and menu answers driven as a
// user would drive them.
#include "LayerTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr DWORD entryStyle = WS_CHILD | WS_VISIBLE | ES_CENTER | ES_AUTOHSCROLL;

std::string windowText(HWND window, int capacity = 1024) {
    std::vector<char> buffer(size_t(capacity) + 1, '#');
    const int length = GetWindowTextA(window, buffer.data(), capacity);
    EXPECT_EQ(size_t(length), std::string(buffer.data()).size());
    return buffer.data();
}

class EditControl : public ::testing::Test {
protected:
    void SetUp() override {
        start = platformtest::liveCounts();
        host = platformtest::createHostWindow(100, 100, 300, 200);
        edit = CreateWindowExA(0, "EDIT", "abc", entryStyle, 20, 30, 120, 20, host, nullptr,
                               nullptr, nullptr);
        ASSERT_NE(edit, nullptr);
        SetFocus(edit);
    }
    void TearDown() override {
        platformtest::clearInputScript();
        DestroyWindow(host);
        const auto end = platformtest::liveCounts();
        EXPECT_EQ(end.windows, start.windows);
        EXPECT_EQ(end.gdiObjects, start.gdiObjects);
        EXPECT_EQ(end.windowClasses, start.windowClasses);
    }

    platformtest::LiveCounts start;
    HWND host = nullptr;
    HWND edit = nullptr;
};

TEST_F(EditControl, KeepsItsCreationTextAndCutsReadsToTheBuffer) {
    EXPECT_EQ(windowText(edit), "abc");
    EXPECT_EQ(GetWindowTextLengthA(edit), 3);
    EXPECT_EQ(windowText(edit, 3), "ab") << "room for two characters and the terminator";
    char untouched[4] = "xyz";
    EXPECT_EQ(GetWindowTextA(edit, untouched, 0), 0);
    EXPECT_STREQ(untouched, "xyz");
    EXPECT_TRUE(SetWindowTextA(edit, "new text"));
    EXPECT_EQ(windowText(edit), "new text");
}

struct TypingCase {
    const char* name;
    std::vector<int> keysBefore; // pressed before the text is typed
    const char* typed;
    std::vector<int> keysAfter;
    const char* expected;
};
// Names the case in test listings instead of dumping its bytes.
void PrintTo(const TypingCase& c, std::ostream* out) {
    *out << c.name;
}

class EditTyping : public EditControl, public ::testing::WithParamInterface<TypingCase> {};

TEST_P(EditTyping, EditsAtTheCaret) {
    const TypingCase& c = GetParam();
    for (int key : c.keysBefore)
        platformtest::pressKey(key);
    platformtest::typeText(c.typed);
    for (int key : c.keysAfter)
        platformtest::pressKey(key);
    EXPECT_EQ(windowText(edit), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, EditTyping,
    ::testing::Values(
        TypingCase{"typesBeforeTheTextAtFirst", {}, "x", {}, "xabc"},
        TypingCase{"appendsAfterEnd", {VK_END}, "de", {}, "abcde"},
        TypingCase{"backspaceRemovesBeforeTheCaret", {VK_END}, "d", {VK_BACK, VK_BACK}, "ab"},
        TypingCase{"homeAfterEndThenType", {VK_END, VK_HOME}, "x", {}, "xabc"},
        TypingCase{"deleteRemovesAfterTheCaret", {VK_HOME, VK_RIGHT}, "", {VK_DELETE}, "ac"},
        TypingCase{"leftMovesTheCaret", {VK_END, VK_LEFT}, "-", {}, "ab-c"},
        TypingCase{"backspaceAtTheStartDoesNothing", {VK_HOME}, "", {VK_BACK}, "abc"},
        TypingCase{"returnTabAndEscapeTypeNothing", {}, "", {VK_RETURN, VK_TAB, VK_ESCAPE}, "abc"},
        TypingCase{"selectAllIsReplaced", {}, "\x01z", {}, "z"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditControl, TypedTextBeyondTheBufferIsCutWhenRead) {
    SetWindowTextA(edit, "");
    platformtest::typeText(std::string(300, 'w'));
    EXPECT_EQ(GetWindowTextLengthA(edit), 300);
    EXPECT_EQ(windowText(edit, 255), std::string(254, 'w'));
}

TEST_F(EditControl, SelectionReplacesAndReportsItsEnds) {
    SendMessageA(edit, EM_SETSEL, 1, -1);
    DWORD from = 0, to = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(from, 1u);
    EXPECT_EQ(to, 3u);
    platformtest::typeText("Z");
    EXPECT_EQ(windowText(edit), "aZ");
}

TEST_F(EditControl, KeepsFontAndMargins) {
    LOGFONTA description{};
    description.lfHeight = -12;
    std::strcpy(description.lfFaceName, "Arial");
    HFONT font = CreateFontIndirectA(&description);
    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(edit, WM_GETFONT, 0, 0)), font);
    SendMessageA(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(3, 5));
    EXPECT_EQ(SendMessageA(edit, EM_GETMARGINS, 0, 0), MAKELONG(3, 5));
    SendMessageA(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    EXPECT_EQ(SendMessageA(edit, EM_GETMARGINS, 0, 0), 0);
    DestroyWindow(edit);
    DeleteObject(font);
}

// The columns of the control's image that hold text-coloured pixels, within the first rows.
std::pair<int, int> inkColumns(const platformtest::Image& image) {
    int first = image.width, last = -1;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (image.pixel(x, y) == 0x000000) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
    return {first, last};
}

TEST_F(EditControl, PaintsCentredTextOnTheWindowColourAndACaretWhileFocused) {
    SetFocus(host);
    platformtest::pumpMessages();
    const platformtest::Image unfocused = platformtest::captureWindow(edit);
    ASSERT_EQ(unfocused.width, 120);
    EXPECT_EQ(unfocused.pixel(0, 19), 0xFFFFFF);
    const auto [first, last] = inkColumns(unfocused);
    ASSERT_LT(first, last);
    EXPECT_NEAR(first, 120 - 1 - last, 2) << "the text is centred";

    SetFocus(edit);
    platformtest::pumpMessages();
    const platformtest::Image focused = platformtest::captureWindow(edit);
    const auto [firstFocused, lastFocused] = inkColumns(focused);
    EXPECT_LT(firstFocused, first) << "the caret stands before the text";
    EXPECT_EQ(lastFocused, last);
}

// Whether a column is black from the top through the given row, as the caret draws it.
bool caretColumn(const platformtest::Image& image, int x, int rows) {
    for (int y = 0; y < rows; ++y)
        if (image.pixel(x, y) != 0x000000)
            return false;
    return true;
}

TEST_F(EditControl, WideTextScrollsToKeepTheCaretInView) {
    SetWindowTextA(edit, std::string(80, 'm').c_str());
    platformtest::pumpMessages();
    const platformtest::Image start = platformtest::captureWindow(edit);
    EXPECT_TRUE(caretColumn(start, 0, 10)) << "a set text shows from its start, caret first";
    EXPECT_FALSE(caretColumn(start, 119, 10));
    platformtest::pressKey(VK_END);
    const platformtest::Image end = platformtest::captureWindow(edit);
    EXPECT_TRUE(caretColumn(end, 119, 10)) << "scrolled to the caret at the right edge";
}

// A subclass that records what reaches it and can destroy the control on Return, as a text entry
// closing its edit does.
WNDPROC savedProcedure = nullptr;
std::vector<UINT> subclassLog;
bool destroyOnReturn = false;

LRESULT subclassProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    subclassLog.push_back(message);
    if (destroyOnReturn && message == WM_KEYDOWN && wParam == VK_RETURN) {
        DestroyWindow(window);
        return 0;
    }
    return CallWindowProcA(savedProcedure, window, message, wParam, lParam);
}

TEST_F(EditControl, SubclassingSeesEveryMessageAndCanCloseOnReturn) {
    subclassLog.clear();
    destroyOnReturn = true;
    savedProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(subclassProcedure)));
    ASSERT_NE(savedProcedure, nullptr);
    platformtest::typeText("d");
    EXPECT_EQ(windowText(edit), "dabc") << "typing passes through the saved procedure";
    platformtest::pressKey(VK_RETURN);
    EXPECT_FALSE(IsWindow(edit));
    EXPECT_EQ(std::count(subclassLog.begin(), subclassLog.end(), UINT(WM_CHAR)), 1)
        << "the keys after Return were dropped with the window";
    EXPECT_EQ(platformtest::pumpMessages(), 0);
    destroyOnReturn = false;
}

TEST_F(EditControl, HearsOfLosingTheFocus) {
    subclassLog.clear();
    savedProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(subclassProcedure)));
    SetFocus(host);
    EXPECT_NE(std::find(subclassLog.begin(), subclassLog.end(), UINT(WM_KILLFOCUS)),
              subclassLog.end());
}

TEST(BuiltInClasses, ArePermanentAndAnyModuleFindsThem) {
    EXPECT_FALSE(UnregisterClassA("EDIT", nullptr));
    HWND host = platformtest::createHostWindow(0, 0, 100, 100);
    auto anyModule = reinterpret_cast<HINSTANCE>(uintptr_t{0x1000});
    HWND edit =
        CreateWindowExA(0, "Edit", "", entryStyle, 0, 0, 50, 20, host, nullptr, anyModule, nullptr);
    EXPECT_NE(edit, nullptr) << "class names compare without case, and for every instance";
    DestroyWindow(host);
}

// ---- Popup menus --------------------------------------------------------------------------------

class PopupMenu : public ::testing::Test {
protected:
    void SetUp() override {
        start = platformtest::liveCounts();
        owner = platformtest::createHostWindow(100, 100, 300, 200);
        menu = CreatePopupMenu();
        ASSERT_NE(menu, nullptr);
        AppendMenuA(menu, MF_STRING, 10, "Ten");
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_CHECKED, 12, "Twelve");
        AppendMenuA(menu, MF_GRAYED, 13, "Thirteen");
    }
    void TearDown() override {
        platformtest::clearMenuHandler();
        platformtest::clearInputScript();
        DestroyMenu(menu);
        DestroyWindow(owner);
        while (platformtest::pumpMessages() > 0) {
        }
        const auto end = platformtest::liveCounts();
        EXPECT_EQ(end.windows, start.windows) << "the menu's window is gone";
        EXPECT_EQ(end.gdiObjects, start.gdiObjects);
    }

    // The WM_COMMAND the menu posted to its owner, or 0xFFFFFFFF when there is none.
    WPARAM postedCommand() {
        MSG message{};
        if (!PeekMessageA(&message, owner, WM_COMMAND, WM_COMMAND, PM_REMOVE))
            return WPARAM(0xFFFFFFFF);
        return message.wParam;
    }

    platformtest::LiveCounts start;
    HWND owner = nullptr;
    HMENU menu = nullptr;
};

TEST_F(PopupMenu, KeepsItsItemsInOrder) {
    EXPECT_EQ(GetMenuItemCount(menu), 4);
    EXPECT_EQ(GetMenuState(menu, 1, MF_BYPOSITION) & MF_SEPARATOR, UINT(MF_SEPARATOR));
    EXPECT_EQ(GetMenuState(menu, 12, MF_BYCOMMAND) & MF_CHECKED, UINT(MF_CHECKED));
    EXPECT_EQ(GetMenuState(menu, 4, MF_BYPOSITION), UINT(-1));
    char text[8];
    EXPECT_EQ(GetMenuStringA(menu, 2, text, sizeof text, MF_BYPOSITION), 6);
    EXPECT_STREQ(text, "Twelve");
    EXPECT_FALSE(AppendMenuA(menu, MF_POPUP, 0, "sub")) << "submenus are not offered";
    EXPECT_EQ(GetMenuItemCount(nullptr), -1);
}

struct Answer {
    const char* name;
    int position; // what the handler answers
    WPARAM command;
};
void PrintTo(const Answer& answer, std::ostream* out) {
    *out << answer.name;
}

class MenuAnswers : public PopupMenu, public ::testing::WithParamInterface<Answer> {};

TEST_P(MenuAnswers, PostOneCommandForAChoosableItemOnly) {
    int shownItems = 0;
    platformtest::setMenuHandler([&](const platformtest::TrackedMenu& shown) {
        shownItems = int(shown.items.size());
        EXPECT_TRUE(IsWindowVisible(shown.window));
        EXPECT_EQ(shown.owner, owner);
        return GetParam().position;
    });
    EXPECT_TRUE(TrackPopupMenu(menu, 0, 150, 160, 0, owner, nullptr));
    EXPECT_EQ(shownItems, 4);
    EXPECT_EQ(postedCommand(), GetParam().command);
    EXPECT_EQ(postedCommand(), WPARAM(0xFFFFFFFF)) << "one command at most";
}

INSTANTIATE_TEST_SUITE_P(Choices, MenuAnswers,
                         ::testing::Values(Answer{"first", 0, 10}, Answer{"checked", 2, 12},
                                           Answer{"dismissed", -1, WPARAM(0xFFFFFFFF)},
                                           Answer{"separator", 1, WPARAM(0xFFFFFFFF)},
                                           Answer{"grayed", 3, WPARAM(0xFFFFFFFF)},
                                           Answer{"pastTheEnd", 4, WPARAM(0xFFFFFFFF)}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PopupMenu, ReturnsTheCommandInsteadOfPostingWhenAsked) {
    platformtest::setMenuHandler([](const platformtest::TrackedMenu&) { return 2; });
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 150, 160, 0, owner, nullptr), 12);
    EXPECT_EQ(postedCommand(), WPARAM(0xFFFFFFFF));
}

TEST_F(PopupMenu, DrawsCheckMarksAndSeparatorsWhereTheItemsAre) {
    platformtest::Image image;
    platformtest::TrackedMenu seen;
    platformtest::setMenuHandler([&](const platformtest::TrackedMenu& shown) {
        image = platformtest::captureWindow(shown.window);
        seen = shown;
        return -1;
    });
    TrackPopupMenu(menu, 0, 150, 160, 0, owner, nullptr);
    ASSERT_EQ(seen.itemRects.size(), 4u);
    EXPECT_EQ(seen.screenRect.left, 150);
    EXPECT_EQ(seen.screenRect.top, 160);
    auto darkIn = [&](const RECT& r, int right) {
        int dark = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < right; ++x)
                dark += (image.pixel(x, y) & 0x808080) == 0; // every channel below half
        return dark;
    };
    const int checkColumnEnd = seen.itemRects[0].left + 20;
    EXPECT_EQ(darkIn(seen.itemRects[0], checkColumnEnd), 0) << "no check on an unchecked item";
    EXPECT_GT(darkIn(seen.itemRects[2], checkColumnEnd), 8) << "the check mark";
    EXPECT_GT(darkIn(seen.itemRects[0], seen.itemRects[0].right), 10) << "the item's text";
    const RECT& separator = seen.itemRects[1];
    const int middle = (separator.top + separator.bottom) / 2;
    EXPECT_EQ(image.pixel((separator.left + separator.right) / 2, middle), 0xA0A0A0);
    EXPECT_EQ(darkIn(separator, separator.right), 0) << "separators carry no check and no text";
}

TEST_F(PopupMenu, StaysOnTheScreenNearItsEdges) {
    platformtest::TrackedMenu seen;
    platformtest::setMenuHandler([&](const platformtest::TrackedMenu& shown) {
        seen = shown;
        return -1;
    });
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    TrackPopupMenu(menu, 0, screenWidth - 5, screenHeight - 5, 0, owner, nullptr);
    EXPECT_EQ(seen.screenRect.right, screenWidth);
    EXPECT_EQ(seen.screenRect.bottom, screenHeight - 5) << "opens upwards from the point";
}

TEST_F(PopupMenu, RefusesAnEmptyMenuAndABadOwner) {
    HMENU empty = CreatePopupMenu();
    EXPECT_FALSE(TrackPopupMenu(empty, 0, 0, 0, 0, owner, nullptr));
    EXPECT_FALSE(TrackPopupMenu(menu, 0, 0, 0, 0, nullptr, nullptr));
    DestroyMenu(empty);
    EXPECT_FALSE(DestroyMenu(empty));
    EXPECT_FALSE(IsMenu(empty));
}

// Where the middle of an item lies on the screen when the menu opens at (150, 160); found from a
// first showing.
POINT itemCentre(HMENU menu, HWND owner, int item) {
    POINT centre{};
    platformtest::setMenuHandler([&](const platformtest::TrackedMenu& shown) {
        const RECT& r = shown.itemRects[size_t(item)];
        centre = {shown.screenRect.left + (r.left + r.right) / 2,
                  shown.screenRect.top + (r.top + r.bottom) / 2};
        return -1;
    });
    TrackPopupMenu(menu, 0, 150, 160, 0, owner, nullptr);
    platformtest::clearMenuHandler();
    return centre;
}

platformtest::InputSnapshot at(POINT point, bool left) {
    platformtest::InputSnapshot state;
    state.x = point.x;
    state.y = point.y;
    state.leftButton = left;
    return state;
}

TEST_F(PopupMenu, FollowsTheMouseWhenNobodyAnswers) {
    const POINT ten = itemCentre(menu, owner, 0);
    const POINT twelve = itemCentre(menu, owner, 2);
    const POINT separator = itemCentre(menu, owner, 1);
    const POINT outside{10, 10};

    struct Drive {
        const char* name;
        bool openingPressHeld;
        std::vector<platformtest::InputSnapshot> states;
        WPARAM command;
    };
    const Drive drives[] = {
        {"releaseOfTheOpeningPressOverAnItem", true, {at(twelve, true), at(twelve, false)}, 12},
        {"clickAfterReleasingElsewhere",
         true,
         {at(outside, false), at(ten, true), at(ten, false)},
         10},
        {"releaseOverASeparatorKeepsItOpen",
         false,
         {at(separator, true), at(separator, false), at(twelve, true), at(twelve, false)},
         12},
        {"pressOutsideDismisses", false, {at(outside, true), at(twelve, false)}, 0xFFFFFFFF},
        {"inputThatEndsDismisses", false, {at(ten, false)}, 0xFFFFFFFF},
    };
    for (const Drive& drive : drives) {
        SCOPED_TRACE(drive.name);
        platformtest::setInput(at(ten, drive.openingPressHeld));
        platformtest::scriptInput(drive.states);
        EXPECT_TRUE(TrackPopupMenu(menu, 0, 150, 160, 0, owner, nullptr));
        EXPECT_EQ(postedCommand(), drive.command);
        platformtest::clearInputScript();
    }
}

} // namespace
