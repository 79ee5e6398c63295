// The row walk of the triangle draw, run once per draw for the blend path the
// draw chose: the edges step down one row at a time, each row is clipped to
// the draw area, and every pixel of the span goes through the shared per-pixel
// operation `BlendPixel<P>` under the span family's rules (`kSpanRules`,
// blend_path.h), which is where the spans' own rules are stated.
//
// Textured rows start their texture coordinates anew from the reference
// vertex, so nothing accumulates from row to row, and step them by one
// addition a pixel; a pixel whose coordinate lies outside the source keeps its
// value. The texture coordinates are 14.18 values taken modulo 2^32 (the
// stated two's-complement behaviour); the edges are 14.18 values in 64 bits,
// so a triangle as wide or as tall as the coordinate range allows never
// overflows them.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "framework/softrender/pixel_operations.h"
#include "platform/win_types.h"

namespace raster_triangle {

constexpr int64_t kOne = int64_t{1} << 18;  // one pixel or texel in 14.18

// A 14.18 value as a whole pixel, by division rounding toward zero.
constexpr int Whole(int64_t value) { return static_cast<int>(value / kOne); }

// One edge of a side: where it starts, how far it moves a row, for how many rows.
struct Segment {
    int64_t x = 0;
    int64_t slope = 0;
    int height = 0;
    int64_t startY = 0;  // left side only: the row the segment starts on, 14.18
};

// Everything the walk reads, set up once per draw.
struct Walk {
    uint8_t* destPixels;
    ptrdiff_t destPitch;
    RECT area;  // the draw area, within the destination

    // The sides: their current segment (0 or 1) and the segment each goes on to.
    Segment left[2];
    Segment right[2];
    int leftSegment;
    int rightSegment;
    int64_t firstRow;  // 14.18

    // Textured draws: the reference vertex and the gradients (14.18, modulo 2^32).
    uint32_t refU, refV;
    int refX, refY;
    uint32_t dUdx, dUdy, dVdx, dVdy;
    const uint8_t* sourcePixels;
    ptrdiff_t sourcePitch;
    uint64_t uLimit, vLimit;  // width << 18 and height << 18
    const uint8_t* maskPixels;
    ptrdiff_t maskPitch;

    // Solid draws: the fill colour's bytes, as a source pixel.
    uint8_t fill[4];
};

// One clipped row of a textured draw: `count` pixels from column `x` of row `y`.
template <BlendPath P>
inline void TexturedRow(const BlendKernelParams& k, const Walk& w, uint8_t* dest, int x, int y, int count) {
    constexpr ptrdiff_t kDestBytes = DestPixelBytes(P.depth);
    constexpr ptrdiff_t kSourceBytes = SourcePixelBytes(P.depth, P.source);
    uint32_t u = w.refU + static_cast<uint32_t>(y - w.refY) * w.dUdy + static_cast<uint32_t>(x - w.refX) * w.dUdx;
    uint32_t v = w.refV + static_cast<uint32_t>(y - w.refY) * w.dVdy + static_cast<uint32_t>(x - w.refX) * w.dVdx;
    for (int i = 0; i < count; ++i) {
        if (u < w.uLimit && v < w.vLimit) {
            const ptrdiff_t tu = u >> 18;
            const ptrdiff_t tv = v >> 18;
            const uint8_t maskByte = P.blendGraphic ? w.maskPixels[tv * w.maskPitch + tu] : uint8_t{0};
            BlendPixel<P>(k, w.sourcePixels + tv * w.sourcePitch + tu * kSourceBytes, maskByte, dest);
        }
        u += w.dUdx;
        v += w.dVdx;
        dest += kDestBytes;
    }
}

// Walks the triangle from its first row to its last.
template <BlendPath P, bool kTextured>
void WalkTriangle(const BlendKernelParams& k, const Walk& walk) {
    constexpr ptrdiff_t kDestBytes = DestPixelBytes(P.depth);
    const RECT& area = walk.area;
    int leftSegment = walk.leftSegment;
    int rightSegment = walk.rightSegment;
    int64_t leftX = walk.left[leftSegment].x;
    int64_t leftSlope = walk.left[leftSegment].slope;
    int leftCount = walk.left[leftSegment].height;
    int64_t rightX = walk.right[rightSegment].x;
    int64_t rightSlope = walk.right[rightSegment].slope;
    int rightCount = walk.right[rightSegment].height;
    int y = Whole(walk.firstRow);
    for (;;) {
        const int xl = Whole(leftX);
        const int xr = Whole(rightX);
        if (y >= area.top && y < area.bottom) {
            // Both end pixels are drawn; the left clip cuts the count once.
            const int start = std::max<int>(xl, area.left);
            const int64_t count = static_cast<int64_t>(xr) - start + 1;
            if (start < area.right && count > 0) {
                const int drawn = static_cast<int>(std::min<int64_t>(count, static_cast<int64_t>(area.right) - start));
                uint8_t* dest = walk.destPixels + static_cast<ptrdiff_t>(y) * walk.destPitch + start * kDestBytes;
                if constexpr (kTextured) {
                    TexturedRow<P>(k, walk, dest, start, y, drawn);
                } else {
                    for (int i = 0; i < drawn; ++i, dest += kDestBytes) BlendPixel<P>(k, walk.fill, 0, dest);
                }
            }
        }
        leftX += leftSlope;
        rightX += rightSlope;
        --leftCount;
        --rightCount;
        ++y;
        if (leftCount == 0) {
            if (leftSegment == 1) return;
            leftSegment = 1;
            leftX = walk.left[1].x;
            leftSlope = walk.left[1].slope;
            leftCount = walk.left[1].height;
            y = Whole(walk.left[1].startY);
        }
        if (rightCount == 0) {
            if (rightSegment == 1) return;
            rightSegment = 1;
            rightX = walk.right[1].x;
            rightSlope = walk.right[1].slope;
            rightCount = walk.right[1].height;
        }
    }
}

}  // namespace raster_triangle
