// Putting the pixels of a pixel image of any format into a memory image, and
// rebuilding what the blits read besides the pixels.
#include <cstring>

#include "framework/graphics/image/color_convert_blit.h"
#include "framework/graphics/image/pixel_format.h"
#include "framework/softrender/memimg.h"
#include "framework/softrender/memimg_work_buffers.h"

namespace {

bool HoldsRect(const PixelImage* image, int x, int y, int width, int height) {
    return x >= 0 && y >= 0 && int64_t{x} + width <= image->width && int64_t{y} + height <= image->height;
}

bool IsAddressable(const PixelImage* image) {
    return image->pixels != nullptr && image->format.specialFormat == kPlainPixels &&
           image->format.bytesPerPixel >= 1 && image->format.bytesPerPixel <= 4;
}

// The palette table in the image's own codes, from the source's palette.
void RebuildPaletteTable(MemImgBase* base, const PixelFormat& sourceFormat) {
    const int bytes = base->colorType == kMemImgColor565 ? 512 : 1024;
    for (int i = 0; i < 256; ++i) {
        const PaletteColor& color = sourceFormat.palette[i];
        if (base->colorType == kMemImgColor565) {
            static_cast<uint16_t*>(base->paletteTable)[i] =
                static_cast<uint16_t>((color.red >> 3) << 11 | (color.green >> 2) << 5 | (color.blue >> 3));
        } else {
            static_cast<uint32_t*>(base->paletteTable)[i] =
                static_cast<uint32_t>(color.red) << 16 | static_cast<uint32_t>(color.green) << 8 | color.blue;
        }
    }
    std::memcpy(base->secondPaletteTable, base->paletteTable, static_cast<size_t>(bytes));
}

}  // namespace

int PutPixelsIntoMemImg(const PixelImage* source, const PixelImage* alphaImage,
                        MEMIMG* destination, int srcX, int srcY, int width, int height, int destX,
                        int destY, int option) {
    if (source == nullptr || !IsMemImgValid(destination) || !IsAddressable(source)) return -1;
    if (alphaImage != nullptr && !IsAddressable(alphaImage)) return -1;
    // The conversion trusts its rectangle; one reaching outside the source,
    // the alpha image or the destination is refused here.
    if (width > 0 && height > 0 &&
        (!HoldsRect(source, srcX, srcY, width, height) ||
         (alphaImage != nullptr && !HoldsRect(alphaImage, srcX, srcY, width, height)) || destX < 0 ||
         destY < 0 || int64_t{destX} + width > destination->width ||
         int64_t{destY} + height > destination->height)) {
        return -1;
    }

    MemImgBase* base = destination->base;
    const RECT rect = {srcX, srcY, srcX + width, srcY + height};
    if (base->colorType == kMemImgSingle8 || base->colorType == kMemImgSingle16) {
        ColorConvertBlit(destination->pixels, base->pitch, base->format, source->pixels, source->pitch,
                         &source->format, nullptr, 0, nullptr, destX, destY, &rect, 0, 0, 0, 0, 1, 1, 0, 0);
    } else {
        const int result = ColorConvertBlit(
            destination->pixels, base->pitch, base->format, source->pixels, source->pitch, &source->format,
            alphaImage != nullptr ? alphaImage->pixels : nullptr, alphaImage != nullptr ? alphaImage->pitch : 0,
            alphaImage != nullptr ? &alphaImage->format : nullptr, destX, destY, &rect, 0, option,
            base->transparentColor, 0, 0, 0, 0, 0);
        if (result < 0) return result;
        if (alphaImage == nullptr && base->paletteFlag) base->paletteColorCount = result + 1;
    }
    if (base->paletteFlag) RebuildPaletteTable(base, source->format);

    base->premultipliedValid = 0;
    base->runCodesValid = 0;
    const bool wholeImage = width == destination->width && height == destination->height;
    const bool colorImage = base->colorType == kMemImgColor565 || base->colorType == kMemImgColor32;
    if (!wholeImage || !colorImage || base->runCodeBuffer == nullptr) return 0;
    base->runCodesValid = 1;
    if (base->alphaFlag && base->premultipliedPlane != nullptr) {
        base->premultipliedValid = 1;
        BuildPremultipliedPlane(base);
    }
    BuildRunCodes(base);
    return 0;
}
