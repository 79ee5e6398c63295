// The framework's one pixel-format converter: copies a rectangle of pixels
// from one block to another, converting between any two PixelFormats, with
// optional alpha from a second image, key colour to transparency or skipped,
// mirroring, dithering and palette remapping.
#pragma once

#include <cstdint>

#include "platform/win_types.h"

struct PixelFormat;

// Values of `dither`.
enum : int {
    kDitherNone = 0,
    kDitherOrdered = 1,     // 4 x 4 ordered matrix
    kDitherErrorCarry = 2,  // running sum of the dropped bits per channel
};

// Converts srcRect (right and bottom exclusive) of the source into the
// destination at (dstX, dstY); the alpha image, when given, is read at the same
// positions as the source. Nothing is clipped: the rectangle must lie inside
// every block. Returns -1 for an empty rectangle, the largest index copied by
// the plain 8-bit to 8-bit row copy, else 0.
int ColorConvertBlit(void* dstPixels, int dstPitch, const PixelFormat* dstFormat,
                     const void* srcPixels, int srcPitch, const PixelFormat* srcFormat,
                     const void* alphaPixels, int alphaPitch, const PixelFormat* alphaFormat,
                     int dstX, int dstY, const RECT* srcRect, int mirror, int keyToAlpha,
                     uint32_t key, int dither, int colourZero, int alphaFromRed, int skipKey,
                     int remapPalette);
