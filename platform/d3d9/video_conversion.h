// The colour conversion of the video (YUV) surface formats, as a copy from
// one into a colour surface makes it: studio-range BT.601, each pixel with
// the chroma pair it shares (two pixels of a row in YUY2 and UYVY, a 2x2
// block in YV12). Private to platform/d3d9.
#pragma once

#include "platform/d3d9/surface_memory.h"

namespace platform::d3d9 {

// YUY2, UYVY or YV12.
inline bool IsVideoFormat(const FormatInfo& format) {
    return format.kind == FormatKind::PackedVideo || format.kind == FormatKind::PlanarVideo;
}

// The colour (A8R8G8B8, alpha 255) of Y, U and V: R = 1.164 (Y - 16) +
// 1.596 (V - 128), G = 1.164 (Y - 16) - 0.391 (U - 128) - 0.813 (V - 128),
// B = 1.164 (Y - 16) + 2.018 (U - 128), each rounded to the nearest whole
// number and held to 0..255.
D3DCOLOR ColourOfYuv(int y, int u, int v);

// `area` of the video surface `from` onto `onto` of the colour surface `to`,
// each destination pixel taking the converted source pixel under its centre,
// in `to`'s format.
void ConvertVideoRect(SurfaceMemory& from, const RECT& area, SurfaceMemory& to, const RECT& onto);

}  // namespace platform::d3d9
