// The readouts' text: a parameter value shown as its gain in decibels, to a tenth.
#pragma once

// Writes, for example, "6.0dB" for 1.0, "0.0dB" for 0.9 and "-oo" for 0.0.
void levelToDecibelText(float value, char* text);
