#include "effect/TextFormat.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace textformat {
namespace {

constexpr const char* hugeText = " Huge!  ";
constexpr const char* notANumberText = "  NaN   ";

// Digits of the integer part, least significant first. Stops at the budget unless wholeNumber
// asks for every digit.
int integerDigits(double v, int& count, char* digits, bool wholeNumber) {
    double integ = std::floor(v);
    int n = 0;
    digits[n++] = static_cast<char>('0' + static_cast<int>(std::fmod(integ, 10.0)));
    integ *= 0.1;
    count += 2;
    while (integ >= 1.0 && (count < textBudget || wholeNumber)) {
        digits[n++] = static_cast<char>('0' + static_cast<int>(std::fmod(integ, 10.0)));
        integ *= 0.1;
        ++count;
    }
    return n;
}

// How many digits the digit loop finds in the integer part.
int integerDigitCount(double v) {
    double integ = std::floor(v) * 0.1;
    int n = 1;
    while (integ >= 1.0) {
        ++n;
        integ *= 0.1;
    }
    return n;
}

void appendFraction(double v, int count, char* out) {
    const int k = textBudget - count;
    double m = std::fmod(v, 1.0) * std::pow(10.0, k);
    char fraction[textBudget];
    for (int i = k - 1; i >= 0; --i) {
        if (m <= 0.0) {
            fraction[i] = '0';
        } else {
            fraction[i] = static_cast<char>('0' + static_cast<int>(std::fmod(m, 10.0)));
        }
        m *= 0.1;
    }
    std::memcpy(out, fraction, static_cast<std::size_t>(k));
    out[k] = '\0';
}

} // namespace

void copy(const char* source, char* text) {
    if (text != nullptr) {
        std::strcpy(text, source);
    }
}

void copyLimited(const char* source, char* text, int maxLength) {
    if (text == nullptr) {
        return;
    }
    const std::size_t length = strnlen(source, static_cast<std::size_t>(maxLength));
    std::memcpy(text, source, length);
    text[length] = '\0';
}

void decimal(float value, char* text) {
    if (text == nullptr) {
        return;
    }
    if (std::isnan(value)) {
        copy(notANumberText, text);
        return;
    }
    double v = value;
    int count = 0;
    const bool negative = value < 0.0f;
    if (negative) {
        v = -v;
        count = 1;
    }
    if (v > (negative ? 9999999.0 : 99999999.0)) {
        copy(hugeText, text);
        return;
    }
    // An integer part too long for the point is shown whole, without the point: it still fits
    // the eight characters, where cutting it would lose its leading digit.
    const int digitsBesidePoint = textBudget - 1 - count;
    const bool wholeNumber = integerDigitCount(v) > digitsBesidePoint;
    char digits[16];
    const int digitCount = integerDigits(v, count, digits, wholeNumber);

    char* out = text;
    if (negative) {
        *out++ = '-';
    }
    for (int i = digitCount - 1; i >= 0; --i) {
        *out++ = digits[i];
    }
    if (wholeNumber) {
        *out = '\0';
        return;
    }
    *out++ = '.';
    if (count >= textBudget) {
        *out = '\0';
        return;
    }
    appendFraction(v, count, out);
}

void integer(std::int32_t value, char* text) {
    if (text == nullptr) {
        return;
    }
    if (value >= 100000000) {
        copy(hugeText, text);
        return;
    }
    char scratch[32];
    std::snprintf(scratch, sizeof scratch, "%7d", value);
    copyLimited(scratch, text, textBudget);
}

} // namespace textformat
