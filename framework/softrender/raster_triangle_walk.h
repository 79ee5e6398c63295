// What the triangle draw's row walk (raster_triangle_spans.h) reads: the
// edges of the triangle's two sides, the draw area and, for a textured draw,
// the reference vertex and the texture gradients, set up once per draw.
//
// The texture coordinates are 14.18 values taken modulo 2^32 (the stated
// two's-complement behaviour); the edges are 14.18 values in 64 bits, so a
// triangle as wide or as tall as the coordinate range allows never overflows
// them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "framework/softrender/texture_ranges.h"
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
    TextureSource texture;

    // Solid draws: the fill colour's bytes, as a source pixel.
    uint8_t fill[4];
};

}  // namespace raster_triangle
