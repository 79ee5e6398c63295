// Which pixels of a row of a textured draw show a texel inside the source.
//
// The rotated blit and the triangles step a 14.18 source coordinate pair
// (u, v) by a fixed amount from pixel to pixel, modulo 2^32, and draw a pixel
// only when u lies below the source's width and v below its height, both
// shifted by 18. Along a row those pixels form a few runs, found here by
// integer arithmetic instead of by testing every pixel.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

// The source of a textured draw and its blend graphic.
struct TextureSource {
    const uint8_t* pixels;
    ptrdiff_t pitch;
    uint64_t uLimit, vLimit;  // width << 18 and height << 18
    const uint8_t* maskPixels;  // null without a blend graphic
    ptrdiff_t maskPitch;
};

// Pixels [begin, end) of a row.
struct PixelRange {
    int begin, end;
};

namespace texture_ranges {

inline int64_t FloorDivide(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}
inline int64_t CeilDivide(int64_t a, int64_t b) { return -FloorDivide(-a, b); }

}  // namespace texture_ranges

// Puts into `out`, in order, the runs of i in [0, count) for which
// (start + i * step) modulo 2^32 is below `limit`; returns how many there
// are, or -1 when there would be more than `most` (each wrap of the
// coordinate past 2^32 can start one more run).
inline int RangesInside(uint32_t start, uint32_t step, uint64_t limit, int count, PixelRange* out, int most) {
    using namespace texture_ranges;
    constexpr int64_t kWrap = int64_t{1} << 32;
    if (count <= 0) return 0;
    if (limit >= static_cast<uint64_t>(kWrap)) {
        out[0] = {0, count};
        return 1;
    }
    // The start and the step as signed values, congruent to them modulo
    // 2^32: a row that runs across 0 then meets one wrap, not two.
    const int64_t a = static_cast<int32_t>(start);
    const int64_t d = static_cast<int32_t>(step);
    const int64_t l = static_cast<int64_t>(limit);
    if (d == 0) {
        if (static_cast<int64_t>(start) >= l) return 0;
        out[0] = {0, count};
        return 1;
    }
    const int64_t last = a + d * (count - 1);
    const int64_t firstWrap = FloorDivide(std::min(a, last), kWrap);
    const int64_t lastWrap = FloorDivide(std::max(a, last), kWrap);
    if (lastWrap - firstWrap + 1 > most) return -1;
    int found = 0;
    for (int64_t j = 0; j <= lastWrap - firstWrap; ++j) {
        // The wraps in the order the row meets them: pixel i is inside this
        // one when base <= a + i d <= base + l - 1. The ends of the row need
        // no division when they are inside.
        const int64_t base = (d > 0 ? firstWrap + j : lastWrap - j) * kWrap;
        const int64_t low = base, high = base + l - 1;
        int64_t from, to;
        if (d > 0) {
            from = a >= low ? 0 : CeilDivide(low - a, d);
            to = last <= high ? count - 1 : FloorDivide(high - a, d);
        } else {
            from = a <= high ? 0 : CeilDivide(high - a, d);
            to = last >= low ? count - 1 : FloorDivide(low - a, d);
        }
        from = std::max<int64_t>(from, 0);
        to = std::min<int64_t>(to, count - 1);
        if (from <= to) out[found++] = {static_cast<int>(from), static_cast<int>(to + 1)};
    }
    return found;
}

// The runs that lie in both lists (each in order, without overlaps).
inline int IntersectRanges(const PixelRange* a, int na, const PixelRange* b, int nb, PixelRange* out) {
    int found = 0;
    for (int i = 0, j = 0; i < na && j < nb;) {
        const int begin = std::max(a[i].begin, b[j].begin);
        const int end = std::min(a[i].end, b[j].end);
        if (begin < end) out[found++] = {begin, end};
        if (a[i].end < b[j].end)
            ++i;
        else
            ++j;
    }
    return found;
}
