// What the rotated blit's walk (rotate_blit_spans.h) reads: the clipped box,
// the 14.18 source coordinates at its top-left pixel and their steps, set up
// once per draw.
//
// The coordinates are taken modulo 2^32 (the stated two's-complement
// behaviour), so no scale or centre makes them overflow; a texel's row is
// found as pixels + row x pitch, so sources of any height draw.
#pragma once

#include <cstddef>
#include <cstdint>

#include "framework/softrender/texture_ranges.h"

namespace rotate_blit {

struct Walk {
    uint8_t* dest;             // the box's top-left destination pixel
    ptrdiff_t destPitch;
    int rows, cols;            // the box's size
    uint32_t u, v;             // at the box's top-left pixel, 14.18
    uint32_t du, dv;           // from one column to the next
    uint32_t duRow, dvRow;     // after the last column of a row, to the next row's first
    TextureSource texture;
};

}  // namespace rotate_blit
