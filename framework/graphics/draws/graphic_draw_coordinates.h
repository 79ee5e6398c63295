// Arithmetic on a caller's draw coordinates. They may lie anywhere in the
// int range (and floats beyond it), so sums are taken in 64 bits and held
// at the ends of the int range: a point held there lies far outside every
// draw target, so the draw shows what the exact sum would show.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

inline int HoldInIntRange(int64_t value) {
    constexpr int64_t lowest = std::numeric_limits<int>::min();
    constexpr int64_t highest = std::numeric_limits<int>::max();
    return static_cast<int>(value < lowest ? lowest : (value > highest ? highest : value));
}

// The sum of the terms (negate a term to subtract it), held in the int range.
template <class... Terms>
int CoordinateSum(Terms... terms) {
    return HoldInIntRange((int64_t{0} + ... + static_cast<int64_t>(terms)));
}

// The nearest int at or below (or above) a float coordinate, held in the int
// range; a NaN gives the lowest int, as the truncating conversion does.
inline int FloorCoordinate(double value) {
    if (std::isnan(value)) return std::numeric_limits<int>::min();
    if (value <= static_cast<double>(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    if (value >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    return static_cast<int>(std::floor(value));
}
inline int CeilCoordinate(double value) {
    if (std::isnan(value)) return std::numeric_limits<int>::min();
    if (value <= static_cast<double>(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    if (value >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    return static_cast<int>(std::ceil(value));
}
