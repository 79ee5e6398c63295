// Reading numbers from file text: digits read as atoi reads them but held
// beyond any range instead of overflowing, then checked or clamped against the
// field's range.
#include "game/framework/file_numbers.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace File {

namespace {

// Further than any range reaches; the digits of a longer number only hold it
// there.
constexpr long long kBeyondAnyRange = 1LL << 40;

// The value of the text as atoi would give it, if it could hold any size.
long long Parse(const char* text) {
    if (text == nullptr) return 0;
    while (*text != '\0' && std::strchr(" \t\n\v\f\r", *text) != nullptr) ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') negative = *text++ == '-';
    long long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > kBeyondAnyRange) value = kBeyondAnyRange;
    }
    return negative ? -value : value;
}

}  // namespace

bool ReadInt(const char* text, NumberRange range, int* value) {
    const long long parsed = Parse(text);
    if (!IsInRange(parsed, range) || !IsInRange(parsed, kAnyInt)) return false;
    *value = static_cast<int>(parsed);
    return true;
}

int ReadClampedInt(const char* text, NumberRange range) {
    long long parsed = Parse(text);
    if (parsed < range.lowest) parsed = range.lowest;
    if (parsed > range.highest) parsed = range.highest;
    if (parsed < INT_MIN) parsed = INT_MIN;
    if (parsed > INT_MAX) parsed = INT_MAX;
    return static_cast<int>(parsed);
}

bool ReadReal(const char* text, NumberRange range, double* value) {
    const double parsed = text != nullptr ? std::strtod(text, nullptr) : 0.0;
    if (!std::isfinite(parsed)) return false;
    if (parsed < static_cast<double>(range.lowest) || parsed > static_cast<double>(range.highest)) return false;
    *value = parsed;
    return true;
}

}  // namespace File
