// How the framework describes a pixel, and its CPU-side image.
//
// A `PixelFormat` says how one pixel value is laid out: bits and bytes per
// pixel, the width, shift and mask of each channel, the bits that belong to no
// channel, a 256-entry palette for 8-bit palette images, and a code that marks
// block-compressed pixels. A pixel value is the little-endian integer of
// `bytesPerPixel` bytes at the pixel's address (3-byte pixels: the low three
// bytes of a 32-bit value). An 8-bit palette image keeps the index in its byte;
// its masks describe a palette entry read as a 32-bit value.
//
// A `PixelImage` is a block of pixels with its format, as the image loaders
// produce it and the texture upload and the software renderer consume it.
#pragma once

#include <cstdint>

// One palette entry, in the byte order of a 32-bit X8R8G8B8 value.
struct PaletteColor {
    uint8_t blue;
    uint8_t green;
    uint8_t red;
    uint8_t reserved;
};

// Values of `specialFormat`.
enum : uint32_t {
    kPlainPixels = 0,
    kDxt1Pixels = 1,
    kDxt2Pixels = 2,
    kDxt3Pixels = 3,
    kDxt4Pixels = 4,
    kDxt5Pixels = 5,
};

struct PixelFormat {
    uint16_t bitsPerPixel;   // 8, 16, 24 or 32; 4 (DXT1) or 8 (DXT2-5) for blocks
    uint16_t bytesPerPixel;  // 1 to 4: what addresses a pixel
    uint8_t redWidth;        // channel widths in bits; 0 = channel absent
    uint8_t greenWidth;
    uint8_t blueWidth;
    uint8_t alphaWidth;
    uint8_t redShift;        // bit position of each channel's lowest bit
    uint8_t greenShift;
    uint8_t blueShift;
    uint8_t alphaShift;
    uint32_t redMask;
    uint32_t greenMask;
    uint32_t blueMask;
    uint32_t alphaMask;
    // Bits of the value that belong to no channel; every value the framework
    // encodes has them set to one.
    uint32_t spareMask;
    PaletteColor palette[256];
    uint8_t spareShift;
    uint8_t spareWidth;
    uint32_t specialFormat;  // 0 plain; 1-5 DXT1-DXT5 blocks
};

struct PixelImage {
    PixelFormat format;
    int32_t width;
    int32_t height;
    int32_t pitch;     // bytes from one row to the next; 0 for block data
    uint8_t* pixels;   // top row first; owned, from the framework allocator
    uint32_t mipCount; // mip levels a DDS image stores after the first
};

// Preset formats. Each overwrites the format fields it names and sets
// `specialFormat` to 0; only UseGray8Format touches the palette. All return 0.
int UsePalette8Format(PixelFormat* format);
int UseGray8Format(PixelFormat* format);
int UseRgb24Format(PixelFormat* format);
int UseXrgb32Format(PixelFormat* format);
int UseArgb32Format(PixelFormat* format);

// Fills bits and bytes per pixel, the four masks with their widths and shifts,
// the spare mask (the bits no channel uses) with its shift and width, and
// `specialFormat` 0. Returns 0.
int DefinePixelFormat(PixelFormat* format, int bitsPerPixel, uint32_t redMask, uint32_t greenMask,
                      uint32_t blueMask, uint32_t alphaMask);
// Recomputes `spareMask` from the channel masks (0 when the widths fill the
// pixel); `spareShift` and `spareWidth` are left alone. Returns 0.
int UpdateSpareMask(PixelFormat* format);

// Encodes a colour (low 8 bits of each argument are used). A 1-byte format
// gives the nearest palette index (sum of squared differences, lowest index on
// ties); other formats truncate each channel to its width and set the spare
// bits.
uint32_t PixelCodeFromRgba(const PixelFormat* format, int red, int green, int blue, int alpha);
// Splits a value into 8-bit channels (narrower channels scaled up); any output
// may be null. A format without alpha gives alpha 0. Returns 0.
int RgbaFromPixelCode(const PixelFormat* format, uint32_t value, int* red, int* green, int* blue,
                      int* alpha);
