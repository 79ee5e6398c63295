// 16-bit pixels packed from 8-bit channels, for reading back surfaces that
// OpenGL holds with 8 bits per channel but whose bytes are 16-bit pixels.
// Asking OpenGL for the packed type makes it convert pixel by pixel on its
// slowest path; reading the channels as bytes and packing them here is
// several times faster. Each channel is rounded to the nearest step, as
// OpenGL packs them; the renderer checks once that its OpenGL agrees before
// taking this path (see GlSurfaces). Private to platform/d3d9.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/d3d9/d3d9.h"

namespace platform::d3d9 {

// Where each channel lies in a 16-bit pixel: bits and shift, in the order
// red, green, blue, alpha. A format without alpha that keeps unused bits
// gets them from the alpha OpenGL reads (1 for a texture without alpha).
struct PackedLayout {
    int bits[4];
    int shift[4];
};

// The layout of a 16-bit surface format; null for any other format.
const PackedLayout* PackedLayoutOf(D3DFORMAT format);

// One channel of 8 bits rounded to `bits` bits: the plain formula.
inline uint32_t PackChannel(uint32_t value, int bits) {
    const uint32_t top = (1u << bits) - 1;
    return (value * top + 127) / 255;
}

// Packs pixels of four bytes (red, green, blue, alpha) into 16-bit pixels:
// eight at a time with SSE2 where there is SSE2, the rest by table.
class PixelPacker {
public:
    explicit PixelPacker(const PackedLayout& layout);

    // `count` pixels from `rgba` to `out` (two bytes each, native order).
    void Pack(const uint8_t* rgba, uint8_t* out, size_t count) const;

private:
    PackedLayout layout_;
    uint16_t tables_[4][256];  // each channel's value already in place
};

}  // namespace platform::d3d9
