// The walk of the rotated blit, run once per draw for the blend path the draw
// chose: every pixel of the clipped box, row by row, stepping the 14.18 source
// coordinates by two additions a pixel and two a row, and drawing the pixels
// that land inside the source through the shared per-pixel operation
// `BlendPixel<P>` under the span family's rules (`kSpanRules`, blend_path.h).
//
// The coordinates are taken modulo 2^32 (the stated two's-complement
// behaviour), so no scale or centre makes them overflow; a texel's row is
// found as pixels + row x pitch, so sources of any height draw.
#pragma once

#include <cstddef>
#include <cstdint>

#include "framework/softrender/pixel_operations.h"

namespace rotate_blit {

struct Walk {
    uint8_t* dest;             // the box's top-left destination pixel
    ptrdiff_t destPitch;
    int rows, cols;            // the box's size
    uint32_t u, v;             // at the box's top-left pixel, 14.18
    uint32_t du, dv;           // from one column to the next
    uint32_t duRow, dvRow;     // after the last column of a row, to the next row's first
    uint64_t uLimit, vLimit;   // width << 18 and height << 18
    const uint8_t* sourcePixels;
    ptrdiff_t sourcePitch;
    const uint8_t* maskPixels;
    ptrdiff_t maskPitch;
};

template <BlendPath P>
void WalkBox(const BlendKernelParams& k, const Walk& w) {
    constexpr ptrdiff_t kDestBytes = DestPixelBytes(P.depth);
    constexpr ptrdiff_t kSourceBytes = SourcePixelBytes(P.depth, P.source);
    uint32_t u = w.u;
    uint32_t v = w.v;
    for (int row = 0; row < w.rows; ++row) {
        uint8_t* dest = w.dest + row * w.destPitch;
        for (int col = 0; col < w.cols; ++col) {
            if (u < w.uLimit && v < w.vLimit) {
                const ptrdiff_t tx = u >> 18;
                const ptrdiff_t ty = v >> 18;
                const uint8_t maskByte = P.blendGraphic ? w.maskPixels[ty * w.maskPitch + tx] : uint8_t{0};
                BlendPixel<P>(k, w.sourcePixels + ty * w.sourcePitch + tx * kSourceBytes, maskByte, dest);
            }
            u += w.du;
            v += w.dv;
            dest += kDestBytes;
        }
        u += w.duRow;
        v += w.dvRow;
    }
}

}  // namespace rotate_blit
