// Reading and writing one pixel of a pixel image.
#include "framework/graphics/image/block_compressed_expansion.h"
#include "framework/graphics/image/pixel_image.h"
#include "framework/graphics/image/pixel_value.h"

namespace {

// A channel's bits placed at the top of an 8-bit field (not scaled).
uint32_t TopOfByte(uint32_t value, uint32_t mask, int shift, int width) {
    const uint32_t channel = (value & mask) >> shift;
    return width <= 8 ? (channel << (8 - width)) & 0xFF : (channel >> (width - 8)) & 0xFF;
}

bool IsInside(const PixelImage* image, int x, int y) {
    return static_cast<uint32_t>(x) < static_cast<uint32_t>(image->width) &&
           static_cast<uint32_t>(y) < static_cast<uint32_t>(image->height);
}

uint8_t* PixelAt(const PixelImage* image, int x, int y) {
    return image->pixels + static_cast<ptrdiff_t>(y) * image->pitch +
           static_cast<ptrdiff_t>(x) * image->format.bytesPerPixel;
}

}  // namespace

uint32_t ReadPixelCode(const PixelImage* image, int x, int y) {
    if (image->pixels == nullptr || !IsInside(image, x, y)) return 0;
    const PixelFormat& f = image->format;
    const uint32_t value = ReadPixelValue(PixelAt(image, x, y), f.bytesPerPixel);
    if (f.bytesPerPixel == 1) return PaletteEntryValue(f, value) & 0xFFFFFF;
    if (f.bytesPerPixel < 2 || f.bytesPerPixel > 4) return 0;
    uint32_t code = TopOfByte(value, f.redMask, f.redShift, f.redWidth) << 16 |
                    TopOfByte(value, f.greenMask, f.greenShift, f.greenWidth) << 8 |
                    TopOfByte(value, f.blueMask, f.blueShift, f.blueWidth);
    if (f.alphaWidth != 0) code |= TopOfByte(value, f.alphaMask, f.alphaShift, f.alphaWidth) << 24;
    return code;
}

int WritePixelRgba(PixelImage* image, int x, int y, int red, int green, int blue, int alpha) {
    if (ExpandSpecialFormat(image) < 0) return -1;
    if (image->pixels == nullptr || !IsInside(image, x, y)) return -1;
    const uint32_t code = PixelCodeFromRgba(&image->format, red, green, blue, alpha);
    WritePixelValue(PixelAt(image, x, y), image->format.bytesPerPixel, code);
    return 0;
}

int ReadPixelRgba(PixelImage* image, int x, int y, int* red, int* green, int* blue, int* alpha) {
    if (ExpandSpecialFormat(image) < 0) return -1;
    if (image->pixels == nullptr || !IsInside(image, x, y)) return -1;
    const PixelFormat& f = image->format;
    const uint32_t value = ReadPixelValue(PixelAt(image, x, y), f.bytesPerPixel);
    if (f.bytesPerPixel == 1) {
        const PaletteColor& entry = f.palette[value];
        if (red != nullptr) *red = entry.red;
        if (green != nullptr) *green = entry.green;
        if (blue != nullptr) *blue = entry.blue;
        if (alpha != nullptr) *alpha = entry.reserved;
        return 0;
    }
    return RgbaFromPixelCode(&f, value, red, green, blue, alpha);
}
