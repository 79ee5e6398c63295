// Copies and fills of surface bytes that are exact by definition: byte for
// byte between surfaces of one format, nearest-pixel stretches between
// colour surfaces of one format, and a colour written in a surface's own
// format. Private to platform/d3d9.
#pragma once

#include <cstdint>

#include "platform/d3d9/surface_memory.h"

namespace platform::d3d9 {

// `area` of `from` to `to` with its top-left corner at `at`; both surfaces
// in one format, the rectangles inside them and on block edges.
void CopyRect(SurfaceMemory& from, const RECT& area, SurfaceMemory& to, POINT at);

// Calls `visit(x, y, sourceX, sourceY)` for each pixel (x, y) of `onto`
// with the pixel of `area` under its centre: the one walk of every
// nearest-pixel stretch.
template <typename Visit>
void ForEachNearestPixel(const RECT& area, const RECT& onto, Visit&& visit) {
    const int64_t fromWidth = area.right - area.left;
    const int64_t fromHeight = area.bottom - area.top;
    const int64_t toWidth = onto.right - onto.left;
    const int64_t toHeight = onto.bottom - onto.top;
    for (int64_t y = 0; y < toHeight; ++y) {
        const LONG sourceY = area.top + static_cast<LONG>((2 * y + 1) * fromHeight / (2 * toHeight));
        for (int64_t x = 0; x < toWidth; ++x) {
            const LONG sourceX = area.left + static_cast<LONG>((2 * x + 1) * fromWidth / (2 * toWidth));
            visit(onto.left + static_cast<LONG>(x), onto.top + static_cast<LONG>(y), sourceX, sourceY);
        }
    }
}

// `area` of `from` onto `onto` of `to`, each destination pixel taking the
// source pixel under its centre; colour surfaces of one format.
void StretchNearest(SurfaceMemory& from, const RECT& area, SurfaceMemory& to, const RECT& onto);

// Each channel of `colour` (A8R8G8B8) goes to the format's width for it,
// rounded to the nearest step; bits the format leaves unused are set.
uint32_t PixelOfColour(const FormatInfo& format, D3DCOLOR colour);
// A pixel value of a colour format written at `at`, low byte first.
void PutPixel(BYTE* at, const FormatInfo& format, uint32_t pixel);

// `colour` as PixelOfColour gives it over `area`. False for a format that is
// not a colour format.
bool FillColour(SurfaceMemory& surface, const RECT& area, D3DCOLOR colour);

}  // namespace platform::d3d9
