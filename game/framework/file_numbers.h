// Numbers read from the game's own files. Every number that a scenario, a
// script, the staff roll, a background layout, the configuration or the save
// holds is read through these, against the range its field can take: a value
// outside it is refused (or, in the files whose rule is to clamp, held to the
// range) and never narrowed into an int it does not fit.
#pragma once

#include <climits>

namespace File {

struct NumberRange {
    long long lowest;
    long long highest;
};

// Whatever an int holds: counts, ids, flags, masks.
constexpr NumberRange kAnyInt = {INT_MIN, INT_MAX};
// Positions and sizes in pixels. Within it a float holds every whole number,
// so a position narrowed through float keeps its value, and sums of a few of
// them stay far inside int.
constexpr long long kPixelLimit = 1LL << 24;
constexpr NumberRange kPixels = {-kPixelLimit, kPixelLimit};
// A line's advance down the screen.
constexpr NumberRange kPixelLength = {0, kPixelLimit};
// A font's size in pixels: no glyph is taller than the screen.
constexpr NumberRange kFontSize = {0, 480};
// A font's thickness: the font's weight in hundreds, or -1 for the default.
constexpr NumberRange kFontThickness = {-1, 10};
constexpr NumberRange kColourChannel = {0, 255};
constexpr NumberRange kVolume = {0, 100};
// A number of frames to wait.
constexpr NumberRange kFrames = {0, INT_MAX};

// Decimal text read as atoi reads it: leading blanks, a sign, then the digits
// up to the first other character; text without digits is 0. False when the
// value lies outside the range; *value is then left as it was.
bool ReadInt(const char* text, NumberRange range, int* value);
// The same reading, with a value outside the range held to its nearest end.
int ReadClampedInt(const char* text, NumberRange range);
// Decimal text read as atof reads it (a fraction, an exponent). False when it
// is not a finite number or lies outside the range.
bool ReadReal(const char* text, NumberRange range, double* value);
// For numbers that a file holds in binary.
constexpr bool IsInRange(long long value, NumberRange range) {
    return value >= range.lowest && value <= range.highest;
}

}  // namespace File
