// Internal to framework/graphics/image (and its tests): nothing outside the folder includes it.
// Small pixel-value helpers shared by the pixel-image routines and the
// format-converting blit: reading and writing a value of 1 to 4 bytes, and
// changing a channel's width.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "framework/graphics/image/pixel_format.h"

// The little-endian value of `bytes` bytes (1 to 4) at `pixel`.
inline uint32_t ReadPixelValue(const uint8_t* pixel, int bytes) {
    switch (bytes) {
    case 1:
        return pixel[0];
    case 2:
        return static_cast<uint32_t>(pixel[0]) | static_cast<uint32_t>(pixel[1]) << 8;
    case 3:
        return static_cast<uint32_t>(pixel[0]) | static_cast<uint32_t>(pixel[1]) << 8 |
               static_cast<uint32_t>(pixel[2]) << 16;
    case 4: {
        uint32_t value;
        std::memcpy(&value, pixel, 4);
        return value;
    }
    default:
        return 0;
    }
}

// Stores the low `bytes` bytes (1 to 4) of `value`; other sizes store nothing.
inline void WritePixelValue(uint8_t* pixel, int bytes, uint32_t value) {
    switch (bytes) {
    case 4:
        std::memcpy(pixel, &value, 4);
        return;
    case 3:
        pixel[2] = static_cast<uint8_t>(value >> 16);
        [[fallthrough]];
    case 2:
        pixel[1] = static_cast<uint8_t>(value >> 8);
        [[fallthrough]];
    case 1:
        pixel[0] = static_cast<uint8_t>(value);
        return;
    default:
        return;
    }
}

// A palette entry read as a 32-bit value: reserved, red, green, blue.
inline uint32_t PaletteEntryValue(const PixelFormat& format, uint32_t index) {
    const PaletteColor& entry = format.palette[index & 0xFF];
    return static_cast<uint32_t>(entry.reserved) << 24 | static_cast<uint32_t>(entry.red) << 16 |
           static_cast<uint32_t>(entry.green) << 8 | entry.blue;
}

// An 8-bit channel value cut to `width` bits (truncating); widths above 8
// move the value up instead.
inline uint32_t NarrowFrom8(uint32_t value, int width) {
    return width <= 8 ? value >> (8 - width) : value << (width - 8);
}

// A channel of `width` bits scaled to 0-255: v x 255 / (2^width - 1).
inline uint32_t ScaleTo8(uint32_t value, uint32_t mask, int shift, int width) {
    if (width == 0) return 0;
    const uint64_t channel = (value & mask) >> shift;
    return static_cast<uint32_t>(channel * 255u / ((uint64_t{1} << width) - 1u));
}

// A channel value changed from `from` bits to `to` bits: truncated when
// narrower, scaled exactly (v x (2^to - 1) / (2^from - 1)) when wider.
inline uint32_t ChangeChannelWidth(uint32_t value, int from, int to) {
    if (to < from) return value >> (from - to);
    if (to == from || from == 0) return from == 0 ? 0 : value;
    const uint64_t top = (uint64_t{1} << to) - 1u;
    const uint64_t bottom = (uint64_t{1} << from) - 1u;
    return static_cast<uint32_t>(value * top / bottom);
}

inline bool HasSameColorMasks(const PixelFormat& a, const PixelFormat& b) {
    return a.redMask == b.redMask && a.greenMask == b.greenMask && a.blueMask == b.blueMask;
}
