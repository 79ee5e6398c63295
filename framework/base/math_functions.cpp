// Float maths and integer text: sine and cosine together, absolute values,
// square root, truncating conversions to int, and an int written in a radix.
#include <cmath>

#include "framework/base/base_functions.h"

namespace {

// What the processor's truncating conversion gives for a NaN or a value
// outside the int range.
constexpr int kIntegerIndefinite = -2147483647 - 1;

// Range is checked before converting: converting an out-of-range value is
// undefined, and the truncated value of anything in (-2^31 - 1, 2^31) fits.
int TruncateToInt(double value) {
    if (!(value > -2147483649.0 && value < 2147483648.0)) return kIntegerIndefinite;
    return static_cast<int>(value);
}

}  // namespace

void SinCosFloat(float angle, float* sine, float* cosine) {
    const long double wide = angle;
    *sine = static_cast<float>(std::sin(wide));
    *cosine = static_cast<float>(std::cos(wide));
}

int AbsInt(int value) {
    // Through unsigned arithmetic so that -2147483648 comes back unchanged
    // instead of overflowing.
    if (value >= 0) return value;
    return static_cast<int>(0u - static_cast<unsigned>(value));
}

float AbsFloat(float value) {
    // Only values that compare below 0 change: -0.0 and NaN keep their bits.
    return value < 0.0f ? -value : value;
}

int FloatToInt(float value) { return TruncateToInt(value); }

int DoubleToInt(double value) { return TruncateToInt(value); }

void TruncateRectToInt(const double rect[4], int out[4]) {
    for (int i = 0; i < 4; ++i) out[i] = DoubleToInt(rect[i]);
}

float SqrtFloat(float value) {
    if (value < 0.0f) return std::nanf("");
    return static_cast<float>(std::sqrt(static_cast<long double>(value)));
}

char* IntToStringRadix(int value, char* buffer, int radix) {
    // A radix without digits to write in gives an empty text.
    if (radix < 2 || radix > 36) {
        buffer[0] = '\0';
        return buffer;
    }
    char* out = buffer;
    // The magnitude in unsigned arithmetic, so that -2147483648 is written
    // correctly rather than overflowing on negation.
    unsigned magnitude = static_cast<unsigned>(value);
    if (value < 0) {
        *out++ = '-';
        magnitude = 0u - magnitude;
    }
    char digits[32];
    int count = 0;
    do {
        const unsigned digit = magnitude % static_cast<unsigned>(radix);
        magnitude /= static_cast<unsigned>(radix);
        digits[count++] = static_cast<char>(digit < 10 ? '0' + digit : 'a' + (digit - 10));
    } while (magnitude != 0);
    while (count > 0) *out++ = digits[--count];
    *out = '\0';
    return buffer;
}
