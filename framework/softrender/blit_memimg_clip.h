// Clipping a draw's rectangle to the draw area, and testing its images,
// shared by the blits. Both run at every draw, a sprite's included, so they
// are written out here rather than called.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

#include "framework/softrender/memimg.h"

// The memory image test: a record holding a set-up image (or a view).
inline bool IsDrawableMemImg(const MEMIMG* image) {
    return image != nullptr && image->marker == kMemImgMarker && image->base != nullptr;
}

// The clipping routine's rule: right raised to left and bottom to top when
// smaller, then bottom and top clamped into the clip's span from top to
// bottom, right and left into its span from left to right.
inline void ClipRectInline(RECT* rect, const RECT& clip) {
    if (rect->right < rect->left) rect->right = rect->left;
    if (rect->bottom < rect->top) rect->bottom = rect->top;
    const auto clamp = [](LONG v, LONG low, LONG high) { return v > high ? high : v < low ? low : v; };
    rect->bottom = clamp(rect->bottom, clip.top, clip.bottom);
    rect->top = clamp(rect->top, clip.top, clip.bottom);
    rect->right = clamp(rect->right, clip.left, clip.right);
    rect->left = clamp(rect->left, clip.left, clip.right);
}

// The rectangle (left, top, right, bottom; right and bottom exclusive and not
// below left and top) clipped to the draw area. The draw area is first kept
// inside the destination, so a draw area left over from a larger target never
// lets a draw write outside the image. Edges beyond the 32-bit range are
// brought into it first; that changes no result, as the area lies within it.
inline RECT ClipDrawRect(int64_t left, int64_t top, int64_t right, int64_t bottom, const RECT& drawArea,
                         const MEMIMG& destination) {
    const auto narrow = [](int64_t v) {
        return static_cast<LONG>(std::clamp<int64_t>(v, std::numeric_limits<LONG>::min(),
                                                     std::numeric_limits<LONG>::max()));
    };
    RECT area = drawArea;
    const RECT bounds = {0, 0, destination.width, destination.height};
    ClipRectInline(&area, bounds);
    RECT rect = {narrow(left), narrow(top), narrow(right), narrow(bottom)};
    ClipRectInline(&rect, area);
    return rect;
}
