// The test gallery on the real system: drawn as our own layer draws it, and its text entry and
// popup menu working with the system's own edit control and popup menu, typed into and chosen
// from with SendInput.
#include "Check.h"
#include "HostWindow.h"
#include "InputDriver.h"
#include "TestSettings.h"
#include "WindowCapture.h"

#include "effect/Module.h"
#include "gui/EditorFrame.h"
#include "gui/GalleryEditor.h"
#include "gui/PopupMenuControl.h"
#include "gui/TextEntry.h"

#include <fstream>
#include <string>
#include <vector>

namespace {

using testhost::Capture;
using testhost::InputStep;

// Where the gallery shows text; the system's font renderer may draw it differently from ours.
struct TextPart {
    RECT box;
    const char* name;
};
const TextPart galleryTextParts[] = {
    {{40, 120, 110, 138}, "readout"},
    {{120, 120, 210, 138}, "text entry"},
    {{220, 120, 310, 138}, "popup menu"},
};

void writeState(const Capture& capture, const std::string& name) {
    CHECK(testhost::writeCapture(capture, name), "writing " + name);
    std::ofstream parts(testhost::settings().outputDirectory + "\\" + name + ".parts");
    for (const TextPart& part : galleryTextParts) {
        parts << part.box.left << ' ' << part.box.top << ' ' << part.box.right << ' '
              << part.box.bottom << " text " << part.name << '\n';
    }
}

bool sendKey(WORD key, bool release) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = release ? KEYEVENTF_KEYUP : 0;
    return SendInput(1, &input, sizeof input) == 1;
}

struct KeyPlayback {
    std::vector<WORD> keys;
    bool afterMenuShows;
    bool refused = false;
};

// Waits until a popup menu window is visible; false when none showed within five seconds.
bool waitForMenu() {
    for (int i = 0; i < 250; ++i) {
        HWND menu = FindWindowA("#32768", nullptr);
        if (menu != nullptr && IsWindowVisible(menu)) {
            return true;
        }
        Sleep(20);
    }
    return false;
}

DWORD WINAPI keyThread(void* argument) {
    auto* playback = static_cast<KeyPlayback*>(argument);
    if (playback->afterMenuShows && !waitForMenu()) {
        playback->refused = true;
        return 0;
    }
    for (WORD key : playback->keys) {
        playback->refused |= !sendKey(key, false) || !sendKey(key, true);
        Sleep(30);
    }
    return 0;
}

// Types the keys from a thread of their own, at once or once a popup menu shows, so that they also
// reach the modal loop of a menu this thread runs meanwhile.
class KeyTyping {
public:
    KeyTyping(std::vector<WORD> keys, bool afterMenuShows)
        : playback{std::move(keys), afterMenuShows} {
        thread = CreateThread(nullptr, 0, keyThread, &playback, 0, nullptr);
    }
    ~KeyTyping() { finish(); }
    KeyTyping(const KeyTyping&) = delete;
    KeyTyping& operator=(const KeyTyping&) = delete;

    // Pumps this thread's messages until every key was typed; false when that took too long, a key
    // was refused or the awaited menu never showed.
    bool finish() {
        if (thread == nullptr) {
            return !playback.refused;
        }
        const bool done = testhost::pumpUntilSignalled(thread, 10000);
        CloseHandle(thread);
        thread = nullptr;
        testhost::pumpMessages();
        return done && !playback.refused;
    }

private:
    KeyPlayback playback;
    HANDLE thread = nullptr;
};

// Signalled when a left press reaches the frame's window. The controls poll the button while they
// handle the press, so the release waits until the press is being handled.
HANDLE pressSeen = nullptr;
WNDPROC frameProcedure = nullptr;

LRESULT CALLBACK pressWatchingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONDOWN) {
        SetEvent(pressSeen);
    }
    return CallWindowProcA(frameProcedure, window, message, wParam, lParam);
}

// The gallery open in a host window of the test's own.
class OpenGallery {
public:
    OpenGallery() : window(60, 120, 320, 280) {
        moduleHandle = GetModuleHandleA(nullptr);
        SetForegroundWindow(window.handle());
        gallery.open(window.handle());
        pressSeen = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        frameProcedure = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
            frame(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&pressWatchingProcedure)));
        testhost::pumpMessages();
    }
    ~OpenGallery() {
        gallery.close();
        CloseHandle(pressSeen);
        pressSeen = nullptr;
    }
    OpenGallery(const OpenGallery&) = delete;
    OpenGallery& operator=(const OpenGallery&) = delete;

    HWND frame() const { return gallery.getFrame()->getWindow(); }
    std::string click(int x, int y) {
        POINT screen{x, y};
        ClientToScreen(frame(), &screen);
        return testhost::playInput({InputStep::move(screen), InputStep::down(),
                                    InputStep::waitFor(pressSeen, 5000), InputStep::up()});
    }
    const GalleryEditor::Report* lastReportOf(int tag) const {
        for (auto report = gallery.reports.rbegin(); report != gallery.reports.rend(); ++report) {
            if (report->tag == tag) {
                return &*report;
            }
        }
        return nullptr;
    }

    testhost::HostWindow window;
    GalleryEditor gallery;
};

TEST_CASE(galleryDrawsAsOurLayerDraws) {
    OpenGallery open;
    const Capture capture = testhost::captureWindow(open.frame());
    REQUIRE(capture.width == 320 && capture.height == 280);
    writeState(capture, "gallery-opened");
}

TEST_CASE(galleryTextEntryEditsInTheSystemsEditControl) {
    OpenGallery open;
    TextEntry* entry = open.gallery.textEntry();
    CHECK_EQ(open.click(150, 128), std::string());
    REQUIRE(entry->isEditing());
    HWND edit = entry->getEditWindow();
    char className[16] = "";
    GetClassNameA(edit, className, sizeof className);
    CHECK(lstrcmpiA(className, "EDIT") == 0, std::string("class ") + className);
    CHECK_EQ(GetFocus(), edit);

    KeyTyping typing({VK_END, VK_SPACE, 'T', 'W', 'O', VK_RETURN}, false);
    CHECK(typing.finish(), "typing");
    CHECK(!entry->isEditing(), "Return closed the edit");
    CHECK(!IsWindow(edit));
    char text[TextEntry::textCapacity] = "";
    entry->getText(text);
    CHECK_TEXT(text, "Gallery two");
    const GalleryEditor::Report* report = open.lastReportOf(GalleryEditor::entryTag);
    REQUIRE(report != nullptr);
    CHECK_EQ(report->text, std::string("Gallery two"));
}

TEST_CASE(galleryPopupMenuChoosesInTheSystemsMenu) {
    OpenGallery open;
    PopupMenuControl* menu = open.gallery.popupMenu();
    // Down selects Low, skips the separator to Mid, then High; Return chooses.
    KeyTyping typing({VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}, true);
    CHECK_EQ(open.click(260, 128), std::string());
    CHECK(typing.finish(), "typing");
    CHECK_EQ(menu->getCurrent(nullptr), 3);
    const GalleryEditor::Report* report = open.lastReportOf(GalleryEditor::menuTag);
    REQUIRE(report != nullptr);
    CHECK_EQ(report->text, std::string("High"));
    CHECK(open.gallery.getFrame()->getFocusWidget() == nullptr);
}

} // namespace
