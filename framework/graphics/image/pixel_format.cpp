// Building pixel formats from masks, the preset formats, and encoding and
// decoding one colour in a format.
#include "framework/graphics/image/pixel_format.h"

#include "framework/graphics/image/pixel_value.h"

namespace {

// Shift of the lowest one bit and the run of ones from there; 0, 0 for 0.
void MeasureMask(uint32_t mask, uint8_t* shift, uint8_t* width) {
    *shift = 0;
    *width = 0;
    if (mask == 0) return;
    int bit = 0;
    while (((mask >> bit) & 1u) == 0) ++bit;
    int ones = 0;
    while (bit + ones < 32 && ((mask >> (bit + ones)) & 1u) != 0) ++ones;
    *shift = static_cast<uint8_t>(bit);
    *width = static_cast<uint8_t>(ones);
}

// Every bit of a value of `bits` bits.
uint32_t AllBitsOf(int bits) {
    if (bits >= 32) return 0xFFFFFFFFu;
    if (bits <= 0) return 0;
    return (1u << bits) - 1u;
}

// The 8-8-8 colour layout shared by the presets.
void UseRgb888Channels(PixelFormat* format) {
    format->redWidth = 8;
    format->greenWidth = 8;
    format->blueWidth = 8;
    format->redShift = 16;
    format->greenShift = 8;
    format->blueShift = 0;
    format->redMask = 0xFF0000;
    format->greenMask = 0xFF00;
    format->blueMask = 0xFF;
    format->specialFormat = kPlainPixels;
}

void UseNoAlpha(PixelFormat* format) {
    format->alphaWidth = 0;
    format->alphaShift = 0;
    format->alphaMask = 0;
}

void UseBits(PixelFormat* format, int bits) {
    format->bitsPerPixel = static_cast<uint16_t>(bits);
    format->bytesPerPixel = static_cast<uint16_t>(bits / 8);
}

}  // namespace

int UsePalette8Format(PixelFormat* format) {
    UseBits(format, 8);
    UseRgb888Channels(format);
    UseNoAlpha(format);
    format->spareMask = 0xFF000000u;
    return 0;
}

int UseGray8Format(PixelFormat* format) {
    UsePalette8Format(format);
    for (int i = 0; i < 256; ++i) {
        const uint8_t level = static_cast<uint8_t>(i);
        format->palette[i] = PaletteColor{level, level, level, 0};
    }
    return 0;
}

int UseRgb24Format(PixelFormat* format) {
    UseBits(format, 24);
    UseRgb888Channels(format);
    UseNoAlpha(format);
    format->spareMask = 0;
    return 0;
}

int UseXrgb32Format(PixelFormat* format) {
    UseBits(format, 32);
    UseRgb888Channels(format);
    UseNoAlpha(format);
    format->spareMask = 0xFF000000u;
    format->spareShift = 24;
    format->spareWidth = 8;
    return 0;
}

int UseArgb32Format(PixelFormat* format) {
    UseBits(format, 32);
    UseRgb888Channels(format);
    format->alphaWidth = 8;
    format->alphaShift = 24;
    format->alphaMask = 0xFF000000u;
    format->spareMask = 0;
    return 0;
}

int DefinePixelFormat(PixelFormat* format, int bitsPerPixel, uint32_t redMask, uint32_t greenMask,
                      uint32_t blueMask, uint32_t alphaMask) {
    UseBits(format, bitsPerPixel);
    format->redMask = redMask;
    format->greenMask = greenMask;
    format->blueMask = blueMask;
    format->alphaMask = alphaMask;
    format->specialFormat = kPlainPixels;
    format->spareMask = AllBitsOf(bitsPerPixel) & ~(redMask | greenMask | blueMask | alphaMask);
    MeasureMask(redMask, &format->redShift, &format->redWidth);
    MeasureMask(greenMask, &format->greenShift, &format->greenWidth);
    MeasureMask(blueMask, &format->blueShift, &format->blueWidth);
    MeasureMask(alphaMask, &format->alphaShift, &format->alphaWidth);
    MeasureMask(format->spareMask, &format->spareShift, &format->spareWidth);
    return 0;
}

int UpdateSpareMask(PixelFormat* format) {
    const int widths = format->redWidth + format->greenWidth + format->blueWidth + format->alphaWidth;
    if (widths == format->bitsPerPixel) {
        format->spareMask = 0;
    } else {
        format->spareMask = AllBitsOf(format->bitsPerPixel) &
                            ~(format->redMask | format->greenMask | format->blueMask | format->alphaMask);
    }
    return 0;
}

uint32_t PixelCodeFromRgba(const PixelFormat* format, int red, int green, int blue, int alpha) {
    red &= 0xFF;
    green &= 0xFF;
    blue &= 0xFF;
    alpha &= 0xFF;
    if (format->bytesPerPixel == 1) {
        uint32_t best = 0;
        int bestDistance = 0x7FFFFFFF;
        for (int i = 0; i < 256; ++i) {
            const PaletteColor& entry = format->palette[i];
            const int dr = entry.red - red;
            const int dg = entry.green - green;
            const int db = entry.blue - blue;
            const int distance = dr * dr + dg * dg + db * db;
            if (distance < bestDistance) {
                bestDistance = distance;
                best = static_cast<uint32_t>(i);
            }
        }
        return best;
    }
    uint32_t code = (NarrowFrom8(static_cast<uint32_t>(blue), format->blueWidth) << format->blueShift) +
                    (NarrowFrom8(static_cast<uint32_t>(green), format->greenWidth) << format->greenShift) +
                    (NarrowFrom8(static_cast<uint32_t>(red), format->redWidth) << format->redShift) +
                    format->spareMask;
    if (format->alphaWidth != 0) {
        code += NarrowFrom8(static_cast<uint32_t>(alpha), format->alphaWidth) << format->alphaShift;
    }
    return code;
}

int RgbaFromPixelCode(const PixelFormat* format, uint32_t value, int* red, int* green, int* blue,
                      int* alpha) {
    const auto channel = [value](uint32_t mask, uint8_t shift) {
        return static_cast<int>((value & mask) >> shift);
    };
    const auto scaled = [value](uint32_t mask, uint8_t shift, uint8_t width) {
        return static_cast<int>(ScaleTo8(value, mask, shift, width));
    };
    if (format->redWidth == 8 && format->greenWidth == 8 && format->blueWidth == 8) {
        if (red != nullptr) *red = channel(format->redMask, format->redShift);
        if (green != nullptr) *green = channel(format->greenMask, format->greenShift);
        if (blue != nullptr) *blue = channel(format->blueMask, format->blueShift);
        // A format without alpha reads as alpha 0 here as in the scaled branch.
        if (alpha != nullptr) *alpha = scaled(format->alphaMask, format->alphaShift, format->alphaWidth);
        return 0;
    }
    if (red != nullptr) *red = scaled(format->redMask, format->redShift, format->redWidth);
    if (green != nullptr) *green = scaled(format->greenMask, format->greenShift, format->greenWidth);
    if (blue != nullptr) *blue = scaled(format->blueMask, format->blueShift, format->blueWidth);
    if (alpha != nullptr) *alpha = scaled(format->alphaMask, format->alphaShift, format->alphaWidth);
    return 0;
}
