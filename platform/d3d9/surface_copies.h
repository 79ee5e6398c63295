// Copies and fills of surface bytes that are exact by definition: byte for
// byte between surfaces of one format, nearest-pixel stretches between
// colour surfaces of one format, and a colour written in a surface's own
// format. Private to platform/d3d9.
#pragma once

#include "platform/d3d9/surface_memory.h"

namespace platform::d3d9 {

// `area` of `from` to `to` with its top-left corner at `at`; both surfaces
// in one format, the rectangles inside them and on block edges.
void CopyRect(SurfaceMemory& from, const RECT& area, SurfaceMemory& to, POINT at);

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
