// Choosing the loop of a format conversion: the options that cancel each
// other are settled first, then the first loop that fits the pair and the
// options runs.
#include "framework/graphics/image/color_convert_blit.h"

#include <cstring>

#include "framework/graphics/image/color_convert_job.h"
#include "framework/graphics/image/pixel_format.h"
#include "framework/graphics/image/pixel_value.h"

namespace {

bool IsUsableFormat(const PixelFormat* format) {
    return format != nullptr && format->bytesPerPixel >= 1 && format->bytesPerPixel <= 4;
}

bool HasIdenticalLayout(const PixelFormat& a, const PixelFormat& b) {
    return a.bitsPerPixel == b.bitsPerPixel && a.redMask == b.redMask && a.greenMask == b.greenMask &&
           a.blueMask == b.blueMask && a.alphaMask == b.alphaMask;
}

}  // namespace

int ColorConvertBlit(void* dstPixels, int dstPitch, const PixelFormat* dstFormat,
                     const void* srcPixels, int srcPitch, const PixelFormat* srcFormat,
                     const void* alphaPixels, int alphaPitch, const PixelFormat* alphaFormat,
                     int dstX, int dstY, const RECT* srcRect, int mirror, int keyToAlpha,
                     uint32_t key, int dither, int colourZero, int alphaFromRed, int skipKey,
                     int remapPalette) {
    if (srcRect == nullptr) return -1;
    const int width = srcRect->right - srcRect->left;
    const int height = srcRect->bottom - srcRect->top;
    if (width <= 0 || height <= 0) return -1;
    // A format that cannot address a pixel (block data not yet expanded)
    // converts nothing rather than reading past its blocks.
    if (dstPixels == nullptr || srcPixels == nullptr || !IsUsableFormat(dstFormat) ||
        !IsUsableFormat(srcFormat)) {
        return -1;
    }
    if (alphaPixels != nullptr && !IsUsableFormat(alphaFormat)) return -1;

    ColorConvertJob job;
    job.dst = static_cast<uint8_t*>(dstPixels);
    job.dstPitch = dstPitch;
    job.src = static_cast<const uint8_t*>(srcPixels);
    job.srcPitch = srcPitch;
    job.alpha = static_cast<const uint8_t*>(alphaPixels);
    job.alphaPitch = alphaPitch;
    job.dstFormat = *dstFormat;
    job.srcFormat = *srcFormat;
    if (alphaPixels != nullptr) {
        job.alphaFormat = *alphaFormat;
    } else {
        std::memset(&job.alphaFormat, 0, sizeof job.alphaFormat);
    }
    job.dstX = dstX;
    job.dstY = dstY;
    job.srcLeft = srcRect->left;
    job.srcTop = srcRect->top;
    job.width = width;
    job.height = height;
    job.mirror = mirror;
    job.key = key;
    job.dither = dither;
    job.colourZero = colourZero;
    job.alphaFromRed = alphaFromRed;

    const PixelFormat& dst = job.dstFormat;
    const PixelFormat& src = job.srcFormat;
    const bool dstHasAlpha = dst.alphaMask != 0;
    const bool alphaSupplied = (src.alphaMask != 0 || alphaPixels != nullptr) && dstHasAlpha;
    job.skipKey = mirror ? 0 : skipKey;
    job.keyToAlpha = (!dstHasAlpha || alphaFromRed || alphaSupplied) ? 0 : keyToAlpha;

    if (remapPalette && dst.bytesPerPixel == 1 && src.bytesPerPixel == 1 &&
        std::memcmp(dst.palette, src.palette, sizeof dst.palette) != 0) {
        RemapPaletteIndices(job);
        return 0;
    }

    if (dst.bytesPerPixel == 1) {
        if (src.bytesPerPixel >= 2) {
            ConvertToPaletteIndices(job);
            return 0;
        }
        if (!job.colourZero && !job.skipKey) return CopyPaletteIndices(job);
    }

    const bool plainCopyOptions =
        !job.keyToAlpha && alphaPixels == nullptr && !job.colourZero && !job.alphaFromRed;
    if (plainCopyOptions && HasIdenticalLayout(dst, src)) {
        CopySameFormat(job);
        return 0;
    }
    if (job.skipKey) return ConvertWithGeneralLoop(job);
    if (job.keyToAlpha && dst.bitsPerPixel == src.bitsPerPixel && HasSameColorMasks(dst, src) &&
        dstHasAlpha && !job.colourZero && !job.alphaFromRed) {
        CopyKeyToAlpha(job);
        return 0;
    }
    if (job.dither || job.colourZero || job.alphaFromRed || job.mirror || alphaPixels != nullptr) {
        return ConvertWithGeneralLoop(job);
    }
    if (ConvertWithSpecialisedLoop(job)) return 0;
    return ConvertWithGeneralLoop(job);
}
