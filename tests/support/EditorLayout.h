// Where the mid/side editor's parts lie in its window, and the points a test presses to reach
// them. Shared by the native editor tests and the Windows test host.
#pragma once

namespace editorlayout {

constexpr int width = 250;
constexpr int height = 420;

// Columns inside the sliders' handles, and the handle's top row at the default value 0.9.
constexpr int midHandleX = 112;
constexpr int sideHandleX = 137;
constexpr int handleTopAtDefault = 93;

// A press here shows the information image; a press inside the image hides it again.
constexpr int logoPressX = 200;
constexpr int logoPressY = 30;
constexpr int informationPressX = 120;
constexpr int informationPressY = 150;

// A part of the editor, with right and bottom edges exclusive. Text is drawn only in the parts
// that say so; there a font renderer's antialiasing may differ from ours.
struct Part {
    const char* name;
    int left;
    int top;
    int right;
    int bottom;
    bool holdsText;
};

inline constexpr Part logoStrip{"logo strip", 0, 0, 250, 55, false};
inline constexpr Part midSlider{"Mid slider", 105, 70, 121, 320, false};
inline constexpr Part sideSlider{"Side slider", 130, 70, 146, 320, false};
inline constexpr Part midReadout{"Mid readout", 64, 330, 124, 344, true};
inline constexpr Part sideReadout{"Side readout", 125, 330, 185, 344, true};
inline constexpr Part informationImage{"information image", 22, 60, 222, 210, false};

// The readouts show the parameter's gain in decibels, to a tenth; the conversion's worked values.
struct ReadoutText {
    float value;
    const char* text;
};

inline constexpr ReadoutText readoutTexts[] = {
    {0.0f, "-oo"},   {0.45f, "-5.9dB"}, {0.5f, "-5.0dB"}, {0.8f, "-0.9dB"}, {0.89f, "0.0dB"},
    {0.9f, "0.0dB"}, {0.95f, "3.5dB"},  {1.0f, "6.0dB"},  {-0.5f, "-oo"},   {0.01f, "-39.0dB"}};

// The readouts' font: Arial with a character height of 11 pixels, normal weight.
constexpr const char* readoutFace = "Arial";
constexpr int readoutCharacterHeight = 11;

// The parts of the editor in the order they are drawn; the information image only while shown.
inline constexpr Part editorParts[] = {logoStrip, midSlider, sideSlider, midReadout, sideReadout};

} // namespace editorlayout
