// Internal to framework/window (and its tests): nothing outside the folder includes it.
// The screen image turned into the layered window's 32-bit bitmap, one routine
// for each kind of image.
#pragma once

#include <cstdint>

#include "framework/graphics/image/pixel_format.h"

// Where the image goes: the bitmap's pixels from its first row under the
// caption band, `width` pixels a row with no gap between rows, and `bandRows`
// rows of caption band above them.
struct LayeredBitmapTarget {
    uint32_t* bitmapPixels;  // row 0 of the bitmap
    int width;
    int bandRows;
    const PixelFormat* argbFormat;
};

// Converts by the first case that applies: the key is the transparent colour
// (its low 24 bits); `modernSystem` is the layered window's per-pixel alpha
// (Vista or later).
void ConvertToLayeredBitmap(const PixelImage* image, const LayeredBitmapTarget& target, uint32_t key,
                            int alphaFlag, bool modernSystem);
