// Halving a pixel block for mipmaps, the clipped copy between images and
// scaling a rectangle.
#include <algorithm>
#include <cstddef>

#include "framework/graphics/image/block_compressed_expansion.h"
#include "framework/graphics/image/color_convert_blit.h"
#include "framework/graphics/image/pixel_image.h"
#include "framework/graphics/image/pixel_value.h"

int HalvePixelBlock(const PixelFormat* format, void* dstPixels, int dstPitch, const void* srcPixels,
                    int srcPitch, int dstX, int unused, int srcX, int y, int width, int height) {
    if ((width != 1 && width % 2 != 0) || (height != 1 && height % 2 != 0)) return -1;
    const int bytes = format->bytesPerPixel;
    if (format->bitsPerPixel != 16 && format->bitsPerPixel != 32) return 0;
    const int stepX = width == 1 ? 0 : 1;
    const int stepY = height == 1 ? 0 : 1;
    const int outWidth = width == 1 ? 1 : width / 2;
    const int outHeight = height == 1 ? 1 : height / 2;
    const uint32_t masks[4] = {format->redMask, format->greenMask, format->blueMask, format->alphaMask};
    const int shifts[4] = {format->redShift, format->greenShift, format->blueShift, format->alphaShift};
    const auto* source = static_cast<const uint8_t*>(srcPixels);
    auto* destination = static_cast<uint8_t*>(dstPixels);

    for (int oy = 0; oy < outHeight; ++oy) {
        const uint8_t* top = source + static_cast<ptrdiff_t>(y + oy * 2) * srcPitch;
        const uint8_t* bottom = top + static_cast<ptrdiff_t>(stepY) * srcPitch;
        uint8_t* out = destination + static_cast<ptrdiff_t>(y + oy) * dstPitch;
        for (int ox = 0; ox < outWidth; ++ox) {
            const int left = (srcX + ox * 2) * bytes;
            const int right = left + stepX * bytes;
            const uint32_t group[4] = {ReadPixelValue(top + left, bytes), ReadPixelValue(top + right, bytes),
                                 ReadPixelValue(bottom + left, bytes), ReadPixelValue(bottom + right, bytes)};
            // A pair is read twice and a single pixel four times, so dividing
            // the four by 4 gives the average of the pair or the pixel itself.
            uint32_t averaged = 0;
            for (int c = 0; c < 4; ++c) {
                if (masks[c] == 0) continue;
                uint64_t sum = 0;
                for (uint32_t value : group) sum += (value & masks[c]) >> shifts[c];
                averaged |= static_cast<uint32_t>(sum / 4) << shifts[c] & masks[c];
            }
            WritePixelValue(out + (dstX + ox) * bytes, bytes, averaged);
        }
    }
    return 0;
}

int CopyPixelImageRect(int srcX, int srcY, int width, int height, int dstX, int dstY,
                       PixelImage* src, PixelImage* dst) {
    if (ExpandSpecialFormat(src) < 0 || ExpandSpecialFormat(dst) < 0) return -1;
    if (src->pixels == nullptr || dst->pixels == nullptr) return -1;
    // A negative position moves the start inwards and shortens the size.
    const auto clipStart = [](int* position, int* other, int* size) {
        if (*position < 0) {
            *size += *position;
            *other -= *position;
            *position = 0;
        }
    };
    clipStart(&srcX, &dstX, &width);
    clipStart(&srcY, &dstY, &height);
    clipStart(&dstX, &srcX, &width);
    clipStart(&dstY, &srcY, &height);
    width = std::min({width, src->width - srcX, dst->width - dstX});
    height = std::min({height, src->height - srcY, dst->height - dstY});
    if (width <= 0 || height <= 0) return 0;
    const RECT rect = {srcX, srcY, srcX + width, srcY + height};
    ColorConvertBlit(dst->pixels, dst->pitch, &dst->format, src->pixels, src->pitch, &src->format,
                     nullptr, 0, nullptr, dstX, dstY, &rect, 0, 0, 0, 0, 0, 0, 0, 1);
    return 0;
}

namespace {

bool IsRectInside(const PixelImage* image, int left, int top, int right, int bottom) {
    return right > left && bottom > top && left >= 0 && left < image->width && top >= 0 &&
           top < image->height && right >= 1 && right <= image->width && bottom >= 1 &&
           bottom <= image->height;
}

}  // namespace

int ScalePixelImageRect(int srcLeft, int srcTop, int srcRight, int srcBottom, PixelImage* src,
                        int dstLeft, int dstTop, int dstRight, int dstBottom, PixelImage* dst,
                        int bilinear) {
    if (!IsRectInside(src, srcLeft, srcTop, srcRight, srcBottom) ||
        !IsRectInside(dst, dstLeft, dstTop, dstRight, dstBottom)) {
        return -1;
    }
    const int srcWidth = srcRight - srcLeft;
    const int srcHeight = srcBottom - srcTop;
    const int dstWidth = dstRight - dstLeft;
    const int dstHeight = dstBottom - dstTop;
    if (srcWidth == dstWidth && srcHeight == dstHeight) {
        return CopyPixelImageRect(srcLeft, srcTop, srcWidth, srcHeight, dstLeft, dstTop, src, dst);
    }
    // 16.16 fixed point.
    const int64_t stepX = (int64_t{srcWidth} << 16) / dstWidth;
    const int64_t stepY = (int64_t{srcHeight} << 16) / dstHeight;
    for (int row = 0; row < dstHeight; ++row) {
        const int64_t positionY = (int64_t{srcTop} << 16) + row * stepY;
        int64_t positionX = int64_t{srcLeft} << 16;
        for (int column = 0; column < dstWidth; ++column, positionX += stepX) {
            const int x = static_cast<int>(positionX >> 16);
            const int y = static_cast<int>(positionY >> 16);
            int rgba[4] = {};
            if (bilinear != 1) {
                ReadPixelRgba(src, x, y, &rgba[0], &rgba[1], &rgba[2], &rgba[3]);
            } else {
                const uint32_t fx = static_cast<uint32_t>(positionX & 0xFFFF);
                const uint32_t fy = static_cast<uint32_t>(positionY & 0xFFFF);
                const uint32_t weights[4] = {((65535 - fx) * (65535 - fy)) >> 16, (fx * (65535 - fy)) >> 16,
                                             ((65535 - fx) * fy) >> 16, (fx * fy) >> 16};
                // The right and bottom neighbours stop at the source
                // rectangle's last column and row: pixels beyond it are not
                // part of what is scaled.
                const int x1 = std::min(x + 1, srcRight - 1);
                const int y1 = std::min(y + 1, srcBottom - 1);
                const int corners[4][2] = {{x, y}, {x1, y}, {x, y1}, {x1, y1}};
                uint32_t sums[4] = {};
                for (int k = 0; k < 4; ++k) {
                    int sample[4] = {};
                    ReadPixelRgba(src, corners[k][0], corners[k][1], &sample[0], &sample[1], &sample[2],
                                  &sample[3]);
                    for (int c = 0; c < 4; ++c) sums[c] += weights[k] * static_cast<uint32_t>(sample[c]);
                }
                for (int c = 0; c < 4; ++c) rgba[c] = static_cast<int>(sums[c] >> 16);
            }
            WritePixelRgba(dst, dstLeft + column, dstTop + row, rgba[0], rgba[1], rgba[2], rgba[3]);
        }
    }
    return 0;
}
