// The editor opened in a real top-level window, painted by the system, read back from the screen
// and driven with SendInput. Each state is also written out for the comparison with the golden
// images our own layer produces (compare_captures.py).
#include "Check.h"
#include "HostWindow.h"
#include "InputDriver.h"
#include "PluginLibrary.h"
#include "TestSettings.h"
#include "WindowCapture.h"

#include "support/EditorLayout.h"
#include "support/RecordFacts.h"
#include "support/RecordingHost.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

using editorlayout::Part;
using testhost::Capture;
using testhost::InputStep;
using testhost::PluginLibrary;

// Writes the capture and, beside it, the parts of the editor visible in that state.
void writeState(const Capture& capture, const std::string& name, bool informationShown) {
    CHECK(testhost::writeCapture(capture, name), "writing " + name);
    std::ofstream parts(testhost::settings().outputDirectory + "\\" + name + ".parts");
    auto write = [&parts](const Part& part) {
        parts << part.left << ' ' << part.top << ' ' << part.right << ' ' << part.bottom << ' '
              << (part.holdsText ? "text" : "drawing") << ' ' << part.name << '\n';
    };
    for (const Part& part : editorlayout::editorParts) {
        write(part);
    }
    if (informationShown) {
        write(editorlayout::informationImage);
    }
}

// Pixels of one part that differ between two captures of the same size.
int differingPixels(const Capture& a, const Capture& b, const Part& part) {
    int count = 0;
    for (int y = part.top; y < part.bottom; ++y) {
        for (int x = part.left; x < part.right; ++x) {
            count += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
        }
    }
    return count;
}

// The text the readouts show for a parameter value, from the conversion's worked values.
const char* readoutTextFor(float value) {
    for (const editorlayout::ReadoutText& entry : editorlayout::readoutTexts) {
        if (entry.value == value) {
            return entry.text;
        }
    }
    return "";
}

// Pixels of a readout that differ from the text drawn by the system itself, with the readout's
// font, colours and alignment, into a white box of the same place.
int readoutMismatch(const Capture& capture, const Part& readout, float value) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = capture.width;
    info.bmiHeader.biHeight = -capture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP dib = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib == nullptr || bits == nullptr) {
        DeleteDC(dc);
        return -1;
    }
    HGDIOBJ previousBitmap = SelectObject(dc, dib);
    RECT box{readout.left, readout.top, readout.right, readout.bottom};
    FillRect(dc, &box, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));

    LOGFONTA description{};
    description.lfHeight = -editorlayout::readoutCharacterHeight;
    description.lfWeight = FW_NORMAL;
    description.lfCharSet = ANSI_CHARSET;
    description.lfOutPrecision = OUT_STRING_PRECIS;
    description.lfClipPrecision = CLIP_STROKE_PRECIS;
    description.lfQuality = DEFAULT_QUALITY;
    description.lfPitchAndFamily = FF_SWISS | VARIABLE_PITCH;
    std::snprintf(description.lfFaceName, sizeof description.lfFaceName, "%s",
                  editorlayout::readoutFace);
    HFONT font = CreateFontIndirectA(&description);
    HGDIOBJ previousFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    DrawTextA(dc, readoutTextFor(value), -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    GdiFlush();

    const auto* pixels = static_cast<const std::uint8_t*>(bits);
    int differing = 0;
    for (int y = readout.top; y < readout.bottom; ++y) {
        for (int x = readout.left; x < readout.right; ++x) {
            const std::uint8_t* p = &pixels[(y * capture.width + x) * 4];
            const std::uint32_t drawn =
                (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
            differing += drawn != capture.pixel(x, y) ? 1 : 0;
        }
    }
    SelectObject(dc, previousFont);
    DeleteObject(font);
    SelectObject(dc, previousBitmap);
    DeleteObject(dib);
    DeleteDC(dc);
    return differing;
}

bool sameImage(const Capture& a, const Capture& b) {
    return a.width == b.width && a.height == b.height && a.rgb == b.rgb;
}

std::string frameClassName(HWND frame) {
    char name[64] = "";
    GetClassNameA(frame, name, sizeof name);
    return name;
}

bool classIsRegistered(const std::string& name) {
    WNDCLASSA unused{};
    return GetClassInfoA(PluginLibrary::instance().handle(), name.c_str(), &unused) != 0;
}

// A host with its window and one instance whose editor is open in it.
class OpenEditor {
public:
    OpenEditor() : window(60, 120, 300, 460) {
        trackingIdle = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        host.answerWith(1, 2400);
        host.onRequest([this](const HostRequest& request) {
            // The paced idle of a control that follows the mouse asks the host for time.
            if (request.opcode == 3) {
                SetEvent(trackingIdle);
            }
        });
        MainEntry pluginMain = PluginLibrary::instance().mainByName();
        record = pluginMain != nullptr ? pluginMain(RecordingHost::callback()) : nullptr;
        if (record != nullptr && window.handle() != nullptr) {
            openAnswer = send(14, 0, 0, window.handle());
            testhost::pumpMessages();
        }
    }
    ~OpenEditor() {
        if (record != nullptr) {
            send(15);
            send(1);
        }
        CloseHandle(trackingIdle);
    }
    OpenEditor(const OpenEditor&) = delete;
    OpenEditor& operator=(const OpenEditor&) = delete;

    bool ready() const { return record != nullptr && frame() != nullptr; }
    HostValue send(std::int32_t opcode, std::int32_t index = 0, HostValue value = 0,
                   void* data = nullptr, float opt = 0.0f) {
        return testhost::send(record, opcode, index, value, data, opt);
    }
    HWND frame() const { return window.editorWindow(); }
    void idle() {
        send(19);
        testhost::pumpMessages();
    }
    Capture capture() const { return testhost::captureWindow(frame()); }
    POINT screenPoint(int x, int y) const {
        POINT point{x, y};
        ClientToScreen(frame(), &point);
        return point;
    }
    // A press and release at (x, y) of the editor.
    std::string click(int x, int y, bool rightButton = false) {
        return testhost::playInput({InputStep::move(screenPoint(x, y)),
                                    InputStep::down(rightButton), InputStep::up(rightButton)});
    }
    float parameter(std::int32_t index) const { return record->parameterValueEntry(record, index); }

    RecordingHost host;
    testhost::HostWindow window;
    HostRecord* record = nullptr;
    HostValue openAnswer = 0;
    HANDLE trackingIdle = nullptr;
};

TEST_CASE(EditorOpensAsAChildOfTheHostWindow) {
    OpenEditor editor;
    REQUIRE(editor.record != nullptr);
    REQUIRE(editor.window.handle() != nullptr);
    CHECK_EQ(editor.openAnswer, HostValue{1});
    REQUIRE(editor.frame() != nullptr);
    CHECK(GetParent(editor.frame()) == editor.window.handle());
    CHECK((GetWindowLongA(editor.frame(), GWL_STYLE) & (WS_CHILD | WS_VISIBLE)) ==
          (WS_CHILD | WS_VISIBLE));
    RECT client{};
    GetClientRect(editor.frame(), &client);
    CHECK_EQ(client.right, LONG{editorlayout::width});
    CHECK_EQ(client.bottom, LONG{editorlayout::height});

    // The class name carries the module's load address, as 32 bits in eight hex digits.
    char className[64] = "";
    GetClassNameA(editor.frame(), className, sizeof className);
    char expected[32];
    std::snprintf(expected, sizeof expected, "Plugin%08x",
                  static_cast<unsigned>(
                      reinterpret_cast<std::uintptr_t>(PluginLibrary::instance().handle())));
    CHECK_TEXT(className, expected);

    // Closing the last editor removes the window and unregisters the class.
    editor.send(15);
    testhost::pumpMessages();
    CHECK(editor.frame() == nullptr);
    CHECK(!classIsRegistered(expected), "the window class is still registered");
}

// The system refuses to unregister a class while windows of it exist, and to register it twice:
// the editors of one module share one registration, which the last one to close removes.
TEST_CASE(TwoOpenEditorsShareOneWindowClass) {
    RecordingHost host;
    host.answerWith(1, 2400);
    MainEntry pluginMain = PluginLibrary::instance().mainByName();
    REQUIRE(pluginMain != nullptr);
    testhost::HostWindow firstWindow(60, 120, 300, 460);
    testhost::HostWindow secondWindow(400, 120, 300, 460);
    HostRecord* first = pluginMain(RecordingHost::callback());
    HostRecord* second = pluginMain(RecordingHost::callback());
    REQUIRE(first != nullptr && second != nullptr);
    testhost::send(first, 14, 0, 0, firstWindow.handle());
    testhost::send(second, 14, 0, 0, secondWindow.handle());
    testhost::pumpMessages();
    REQUIRE(firstWindow.editorWindow() != nullptr && secondWindow.editorWindow() != nullptr);
    const std::string className = frameClassName(firstWindow.editorWindow());
    CHECK_EQ(frameClassName(secondWindow.editorWindow()), className);

    testhost::send(first, 15);
    testhost::pumpMessages();
    CHECK(firstWindow.editorWindow() == nullptr);
    CHECK(classIsRegistered(className), "the class went while the second editor is open");
    CHECK(secondWindow.editorWindow() != nullptr);
    testhost::send(second, 15);
    testhost::pumpMessages();
    CHECK(!classIsRegistered(className), "the class stayed after the last editor closed");
    CHECK_EQ(testhost::send(first, 1), HostValue{1});
    CHECK_EQ(testhost::send(second, 1), HostValue{1});
}

TEST_CASE(HostDestroyingItsWindowFirstLeavesTheEditorClosable) {
    OpenEditor editor;
    REQUIRE(editor.ready());
    const std::string className = frameClassName(editor.frame());
    editor.window.destroy();
    editor.record->changeParameterEntry(editor.record, 0, 0.3f);
    editor.idle();
    CHECK_EQ(editor.parameter(0), 0.3f);
    CHECK_EQ(editor.send(15), HostValue{0});
    testhost::pumpMessages();
    CHECK(!classIsRegistered(className), "the class stayed after the editor closed");
}

TEST_CASE(EditorPaintsItsDefaultState) {
    OpenEditor editor;
    REQUIRE(editor.ready());
    const Capture image = editor.capture();
    REQUIRE(image.width == editorlayout::width && image.height == editorlayout::height);
    writeState(image, "editor-default", false);
    // The handle's white pixels are keyed: the track's grey line shows through its top row,
    // while the rest of that row and the rows below are the cap's own greys.
    const int top = editorlayout::handleTopAtDefault;
    CHECK_EQ(image.pixel(113, top), 0xCCCCCCu);
    CHECK_EQ(image.pixel(113, top - 1), 0xCCCCCCu);
    CHECK(image.pixel(118, top) != 0xFFFFFFu);
    CHECK(image.pixel(113, top + 5) != 0xCCCCCCu);
    CHECK_EQ(image.pixel(113, top + 12), 0xCCCCCCu);
    CHECK_EQ(readoutMismatch(image, editorlayout::midReadout, 0.9f), 0);
    CHECK_EQ(readoutMismatch(image, editorlayout::sideReadout, 0.9f), 0);

    // A repaint the system asks for draws the same picture again.
    RedrawWindow(editor.frame(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    testhost::pumpMessages();
    CHECK(sameImage(editor.capture(), image), "a repaint changed the picture");
}

TEST_CASE(DraggingMidToTheTopAutomatesAndShowsAtTheNextIdle) {
    OpenEditor editor;
    REQUIRE(editor.ready());
    const Capture before = editor.capture();
    const int x = editorlayout::midHandleX;
    const int grab = editorlayout::handleTopAtDefault + 4;
    const std::string problem = testhost::playInput({
        InputStep::move(editor.screenPoint(x, grab)),
        InputStep::down(),
        InputStep::waitFor(editor.trackingIdle, 3000),
        InputStep::move(editor.screenPoint(x, 60)),
        InputStep::move(editor.screenPoint(x, 20)),
        InputStep::move(editor.screenPoint(x, -50)),
        InputStep::pause(100),
        InputStep::up(),
    });
    CHECK_TEXT(problem.c_str(), "");

    const auto reports = editor.host.requestsWithOpcode(0);
    REQUIRE(!reports.empty());
    for (const HostRequest& report : reports) {
        CHECK_EQ(report.index, 0);
        CHECK_EQ(report.value, HostValue{0});
        CHECK(report.data == nullptr);
        CHECK(report.record == editor.record);
    }
    CHECK_EQ(reports.back().opt, 1.0f);
    CHECK_EQ(editor.parameter(0), 1.0f);
    CHECK_EQ(editor.parameter(1), recordfacts::defaultParameterValue);

    // The slider moved at once; the readout follows during the drag's paced idle at the earliest,
    // and shows the final value after the host's next idle at the latest.
    const Capture dragged = editor.capture();
    CHECK(differingPixels(before, dragged, editorlayout::midSlider) > 0);
    editor.idle();
    const Capture after = editor.capture();
    writeState(after, "editor-mid-top", false);
    CHECK_EQ(readoutMismatch(after, editorlayout::midReadout, 1.0f), 0, "Mid shows 6.0dB");
    CHECK_EQ(differingPixels(before, after, editorlayout::sideReadout), 0);
    CHECK_EQ(differingPixels(before, after, editorlayout::sideSlider), 0);
    // The handle's top row now lies on the slider's first row.
    CHECK(after.pixel(118, 70) != 0xFFFFFFu);
}

TEST_CASE(LogoStripShowsTheInformationUntilClickedAgain) {
    OpenEditor editor;
    REQUIRE(editor.ready());
    const Capture before = editor.capture();
    CHECK_TEXT(editor.click(editorlayout::logoPressX, editorlayout::logoPressY).c_str(), "");
    const Capture shown = editor.capture();
    writeState(shown, "editor-information", true);
    CHECK(differingPixels(before, shown, editorlayout::informationImage) > 0,
          "no information image");

    // A right press inside the image hides it and repaints the whole editor.
    CHECK_TEXT(editor.click(editorlayout::informationPressX, editorlayout::informationPressY, true)
                   .c_str(),
               "");
    CHECK(sameImage(editor.capture(), before), "the editor did not come back as it was");
    CHECK_EQ(editor.parameter(0), recordfacts::defaultParameterValue);
    CHECK_EQ(editor.parameter(1), recordfacts::defaultParameterValue);
    CHECK(editor.host.requestsWithOpcode(0).empty());
}

TEST_CASE(HostAutomationShowsAtTheNextIdle) {
    OpenEditor editor;
    REQUIRE(editor.ready());
    const Capture before = editor.capture();
    editor.record->changeParameterEntry(editor.record, 1, 0.0f);
    testhost::pumpMessages();
    CHECK(sameImage(editor.capture(), before), "drawn before the idle");
    editor.idle();
    const Capture after = editor.capture();
    writeState(after, "editor-side-silent", false);
    CHECK(differingPixels(before, after, editorlayout::sideSlider) > 0);
    CHECK_EQ(readoutMismatch(after, editorlayout::sideReadout, 0.0f), 0, "Side shows -oo");
    CHECK_EQ(readoutMismatch(after, editorlayout::midReadout, 0.9f), 0);
    CHECK_EQ(differingPixels(before, after, editorlayout::midSlider), 0);
    // The Side handle sits at the bottom of its travel, leaving the slider's last row as track.
    CHECK(after.pixel(143, 307) != 0xFFFFFFu);
    CHECK_EQ(after.pixel(143, 319), 0xFFFFFFu);
    CHECK(editor.host.requestsWithOpcode(0).empty());
}

} // namespace
