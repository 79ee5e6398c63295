// The conversions of the screen image for the layered window. The two
// commonest screen formats (32-bit X8R8G8B8 and 16-bit 5-6-5) are converted by
// direct loops; every other one goes through the general pixel conversion.
// What comes out is premultiplied A8R8G8B8, with the key colour fully
// transparent.
#include "framework/window/layered_window_conversion.h"

#include "framework/graphics/image/color_convert_blit.h"

namespace {

bool HasRgbMasks(const PixelFormat& format, uint32_t red, uint32_t green, uint32_t blue) {
    return format.redMask == red && format.greenMask == green && format.blueMask == blue;
}

// Pixels of whole 32-bit X8R8G8B8 values.
bool IsXrgb32(const PixelFormat& format) {
    return format.bytesPerPixel == 4 && format.alphaMask == 0 && HasRgbMasks(format, 0xFF0000, 0xFF00, 0xFF);
}

bool IsRgb565(const PixelFormat& format) {
    return format.bytesPerPixel == 2 && format.alphaMask == 0 && HasRgbMasks(format, 0xF800, 0x7E0, 0x1F);
}

bool IsArgb32(const PixelFormat& format) {
    return format.bytesPerPixel == 4 && format.alphaMask == 0xFF000000u &&
           HasRgbMasks(format, 0xFF0000, 0xFF00, 0xFF);
}

const uint8_t* ImageRow(const PixelImage* image, int y) { return image->pixels + static_cast<ptrdiff_t>(y) * image->pitch; }

uint32_t* TargetRow(const LayeredBitmapTarget& target, int y) {
    return target.bitmapPixels + static_cast<ptrdiff_t>(target.bandRows + y) * target.width;
}

uint32_t Premultiplied(uint32_t pixel) {
    const uint32_t alpha = pixel >> 24;
    const uint32_t red = (((pixel >> 16) & 0xFF) * alpha) >> 8;
    const uint32_t green = (((pixel >> 8) & 0xFF) * alpha) >> 8;
    const uint32_t blue = ((pixel & 0xFF) * alpha) >> 8;
    return (alpha << 24) | (red << 16) | (green << 8) | blue;
}

void ConvertXrgb32(const PixelImage* image, const LayeredBitmapTarget& target, uint32_t key) {
    for (int y = 0; y < image->height; ++y) {
        const uint32_t* source = reinterpret_cast<const uint32_t*>(ImageRow(image, y));
        uint32_t* destination = TargetRow(target, y);
        for (int x = 0; x < image->width; ++x) {
            const uint32_t pixel = source[x];
            destination[x] = (pixel & 0xFFFFFF) == key ? 0 : (pixel | 0xFF000000u);
        }
    }
}

uint32_t FromRgb565(uint16_t value, uint16_t key) {
    if (value == key) return 0;
    return 0xFF000000u + (static_cast<uint32_t>(value >> 11) << 19) +
           (static_cast<uint32_t>((value >> 5) & 0x3F) << 10) + (static_cast<uint32_t>(value & 0x1F) << 3);
}

void ConvertRgb565(const PixelImage* image, const LayeredBitmapTarget& target, uint32_t key) {
    const uint16_t key565 = static_cast<uint16_t>((((key >> 19) & 0x1F) << 11) | (((key >> 10) & 0x3F) << 5) |
                                                  ((key >> 3) & 0x1F));
    const int blocks = image->width / 4;
    for (int y = 0; y < image->height; ++y) {
        const uint16_t* source = reinterpret_cast<const uint16_t*>(ImageRow(image, y));
        uint32_t* destination = TargetRow(target, y);
        int x = 0;
        for (int block = 0; block < blocks; ++block, x += 4) {
            destination[x] = FromRgb565(source[x], key565);
            destination[x + 1] = FromRgb565(source[x + 1], key565);
            destination[x + 2] = FromRgb565(source[x + 2], key565);
            destination[x + 3] = FromRgb565(source[x + 3], key565);
        }
        for (; x < image->width; ++x) destination[x] = FromRgb565(source[x], key565);
    }
}

void ConvertArgb32(const PixelImage* image, const LayeredBitmapTarget& target, uint32_t key) {
    for (int y = 0; y < image->height; ++y) {
        const uint32_t* source = reinterpret_cast<const uint32_t*>(ImageRow(image, y));
        uint32_t* destination = TargetRow(target, y);
        for (int x = 0; x < image->width; ++x) {
            const uint32_t pixel = source[x];
            const uint32_t alpha = pixel >> 24;
            if ((pixel & 0xFFFFFF) == key || alpha == 0)
                destination[x] = 0;
            else
                destination[x] = alpha == 255 ? pixel : Premultiplied(pixel);
        }
    }
}

// The general conversion into the rows under the band; `keyToAlpha` makes
// pixels of the key colour come out with alpha 0.
void ConvertGeneral(const PixelImage* image, const LayeredBitmapTarget& target, const PixelFormat* format,
                    int keyToAlpha, uint32_t key) {
    const RECT whole{0, 0, image->width, image->height};
    ColorConvertBlit(TargetRow(target, 0), target.width * 4, format, image->pixels, image->pitch, &image->format,
                     nullptr, 0, nullptr, 0, 0, &whole, 0, keyToAlpha, key, 0, 0, 0, 0, 0);
}

}  // namespace

void ConvertToLayeredBitmap(const PixelImage* image, const LayeredBitmapTarget& target, uint32_t key,
                            int alphaFlag, bool modernSystem) {
    key &= 0xFFFFFF;
    const size_t pixelCount = static_cast<size_t>(image->width) * static_cast<size_t>(image->height);
    uint32_t* converted = TargetRow(target, 0);
    if (alphaFlag == 0 && modernSystem) {
        if (IsXrgb32(image->format)) return ConvertXrgb32(image, target, key);
        if (IsRgb565(image->format)) return ConvertRgb565(image, target, key);
        ConvertGeneral(image, target, target.argbFormat, 0, 0);
        for (size_t i = 0; i < pixelCount; ++i)
            converted[i] = (converted[i] & 0xFFFFFF) == key ? 0 : (converted[i] | 0xFF000000u);
        return;
    }
    if (alphaFlag == 0) {
        // Older systems key the colour out themselves: the band is the key.
        for (size_t i = 0; i < static_cast<size_t>(target.bandRows) * target.width; ++i)
            target.bitmapPixels[i] = key;
        PixelFormat xrgb = *target.argbFormat;
        UseXrgb32Format(&xrgb);
        ConvertGeneral(image, target, &xrgb, 0, 0);
        return;
    }
    if (IsArgb32(image->format)) return ConvertArgb32(image, target, key);
    ConvertGeneral(image, target, target.argbFormat, 1, key);
    for (size_t i = 0; i < pixelCount; ++i) {
        const uint32_t alpha = converted[i] >> 24;
        if (alpha == 0)
            converted[i] = 0;
        else if (alpha != 255)
            converted[i] = Premultiplied(converted[i]);
    }
}
