// Internal to framework/graphics/image (and its tests): nothing outside the folder includes it.
// The inside of the format-converting blit: one call's arguments after the
// options that cancel each other are settled, and the loops that the
// dispatcher chooses between. Tests use it to hold a specialised loop against
// the general one.
#pragma once

#include <cstddef>
#include <cstdint>

#include "framework/graphics/image/pixel_format.h"

struct ColorConvertJob {
    uint8_t* dst;
    int dstPitch;
    const uint8_t* src;
    int srcPitch;
    const uint8_t* alpha;  // null: no alpha image
    int alphaPitch;
    // Copied at entry, so a caller's format may change under nothing.
    PixelFormat dstFormat;
    PixelFormat srcFormat;
    PixelFormat alphaFormat;
    int dstX;
    int dstY;
    int srcLeft;
    int srcTop;
    int width;
    int height;
    int mirror;
    int keyToAlpha;
    uint32_t key;
    int dither;
    int colourZero;
    int alphaFromRed;
    int skipKey;

    const uint8_t* SourceRow(int row) const {
        return src + static_cast<ptrdiff_t>(srcTop + row) * srcPitch +
               static_cast<ptrdiff_t>(srcLeft) * srcFormat.bytesPerPixel;
    }
    const uint8_t* AlphaRow(int row) const {
        return alpha + static_cast<ptrdiff_t>(srcTop + row) * alphaPitch +
               static_cast<ptrdiff_t>(srcLeft) * alphaFormat.bytesPerPixel;
    }
    uint8_t* DestRow(int row) const {
        return dst + static_cast<ptrdiff_t>(dstY + row) * dstPitch +
               static_cast<ptrdiff_t>(dstX) * dstFormat.bytesPerPixel;
    }
    // Destination column of the i-th source pixel of a row.
    int DestColumn(int i) const { return mirror ? width - 1 - i : i; }
};

// Per-channel loop for every pair and option; returns 0.
int ConvertWithGeneralLoop(const ColorConvertJob& job);
// The specialised loop of an exactly matching format pair; false when the
// pair (with the job's keyToAlpha) has none, and nothing was written.
bool ConvertWithSpecialisedLoop(const ColorConvertJob& job);
// Which 16-bit to 16-bit word width the specialised loops use: four pixels a
// 64-bit word when the processor has MMX, else two a 32-bit word.
bool UsesFourPixelWords();

// Copies between identical formats, mirrored and skipping key-valued pixels
// when asked.
void CopySameFormat(const ColorConvertJob& job);
// A same-layout copy into a format with alpha: every pixel becomes opaque
// except those of the key colour, which become transparent.
void CopyKeyToAlpha(const ColorConvertJob& job);
// 8-bit destinations from 16-, 24- and 32-bit sources: the nearest palette
// index of each pixel's stored channel values.
void ConvertToPaletteIndices(const ColorConvertJob& job);
// Byte-for-byte copy of 8-bit rows; returns the largest index copied.
int CopyPaletteIndices(const ColorConvertJob& job);
// Between 8-bit images with different palettes: each index becomes the
// nearest destination entry to its source colour.
void RemapPaletteIndices(const ColorConvertJob& job);
