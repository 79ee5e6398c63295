// What the device knows of each format it keeps in memory: how its pixels
// are laid out (bits per pixel, 4x4 blocks, video planes), the channel masks
// of the colour formats, and the pitch, rows and size of a surface of it.
// Private to platform/d3d9.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/d3d9/d3d9.h"

namespace platform::d3d9 {

enum class FormatKind {
    Colour,       // packed RGB pixels
    Depth,        // depth (and stencil) values
    Compressed,   // 4x4 blocks of 8 or 16 bytes
    PackedVideo,  // two pixels share one chroma pair (YUY2, UYVY)
    PlanarVideo,  // a Y plane, then V and U planes of half the pitch and half the rows (YV12)
};

struct FormatInfo {
    D3DFORMAT format;
    FormatKind kind;
    uint32_t bitsPerPixel;  // per texel for compressed formats (4 or 8), the Y plane's 8 plus chroma for YV12
    uint32_t blockBytes;    // compressed formats: bytes of one 4x4 block
    // Channel masks of a colour format; `unused` marks the X bits.
    uint32_t red, green, blue, alpha, unused;
    bool stencil;  // a depth format with stencil bits
};

// Null for a number that is no surface format the device keeps.
const FormatInfo* FindFormat(D3DFORMAT format);

// The formats a display (and so a back buffer) can be in.
bool IsDisplayFormat(D3DFORMAT format);

struct SurfaceLayout {
    uint32_t pitch;  // bytes from one row (of pixels, or of blocks) to the next
    uint32_t rows;   // rows of pixels, or of blocks; planar video counts its chroma rows too
    size_t size;     // pitch x rows
};

// Rows are aligned to 4 bytes; compressed surfaces keep whole blocks (at
// least one across and down).
SurfaceLayout LayoutOf(const FormatInfo& format, uint32_t width, uint32_t height);

// Bytes of one pixel of a colour, depth or packed-video format.
inline uint32_t BytesPerPixel(const FormatInfo& format) { return format.bitsPerPixel / 8; }

}  // namespace platform::d3d9
