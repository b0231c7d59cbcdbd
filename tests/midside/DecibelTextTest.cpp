#include "midside/DecibelText.h"
#include "support/EditorLayout.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

namespace {

std::string decibelText(float value) {
    char text[256] = "";
    levelToDecibelText(value, text);
    return text;
}

TEST(DecibelText, ShowsTheGainToATenth) {
    for (const auto& c : editorlayout::readoutTexts) {
        EXPECT_EQ(decibelText(c.value), c.text) << c.value;
    }
    EXPECT_EQ(decibelText(std::numeric_limits<float>::quiet_NaN()), "-oo");
}

// The text equals the "%.1f" of the tenths the level truncates to, for every value.
TEST(DecibelText, MatchesThePrintedTenths) {
    for (int i = 1; i <= 20000; ++i) {
        const float value = static_cast<float>(i) / 10000.0f;
        const double x = value;
        const double gain = x > 0.9 ? (x - 0.9) * 10.0 + 1.0 : x * 1.1111111111111112;
        const double decibels = 20.0 * std::log10(gain) + 0.05000000074505806;
        const int tenths = static_cast<int>(decibels * 10.0);
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.1fdB", tenths * 0.10000000149011612);
        ASSERT_EQ(decibelText(value), expected) << value;
    }
}

TEST(DecibelText, IgnoresTheProcessLocale) {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr &&
        std::setlocale(LC_NUMERIC, "fr_FR.UTF-8") == nullptr) {
        GTEST_SKIP() << "no comma-decimal locale installed";
    }
    EXPECT_EQ(decibelText(1.0f), "6.0dB");
    std::setlocale(LC_NUMERIC, saved.c_str());
}

} // namespace
