// Making, freeing, clearing and mirroring pixel images.
#include "framework/graphics/image/pixel_image.h"

#include <cstddef>
#include <cstring>

#include "framework/base/base_functions.h"
#include "framework/base/tracked_memory.h"

int AllocPixelImageAs(int width, int height, const PixelFormat* format, PixelImage* image) {
    if (format == nullptr || image == nullptr || width < 0 || height < 0) return -1;
    const int64_t pitch = (static_cast<int64_t>(format->bytesPerPixel) * width + 3) & ~int64_t{3};
    const int64_t size = pitch * height;
    if (pitch > INT32_MAX || size > INT32_MAX) return -1;
    auto* pixels = static_cast<uint8_t*>(AllocMemory(static_cast<size_t>(size), __FILE__, __LINE__));
    if (pixels == nullptr) return -1;
    // The format may be the image's own; copy it before anything else changes.
    const PixelFormat copied = *format;
    image->format = copied;
    image->width = width;
    image->height = height;
    image->pitch = static_cast<int32_t>(pitch);
    image->pixels = pixels;
    image->mipCount = 0;
    return 0;
}

int AllocXrgb32PixelImage(int width, int height, PixelImage* image) {
    PixelFormat format;
    std::memset(&format, 0, sizeof format);
    UseXrgb32Format(&format);
    return AllocPixelImageAs(width, height, &format, image);
}

int AllocArgb32PixelImage(int width, int height, PixelImage* image) {
    PixelFormat format;
    std::memset(&format, 0, sizeof format);
    UseArgb32Format(&format);
    return AllocPixelImageAs(width, height, &format, image);
}

int FreePixelImage(PixelImage* image) {
    if (image == nullptr) return 0;
    if (image->pixels != nullptr) FreeMemory(image->pixels);
    FillMemoryBytes(image, 0, sizeof *image);
    return 0;
}

int ZeroPixelImageRect(PixelImage* image, int x, int y, int width, int height) {
    if (image == nullptr || image->pixels == nullptr) return -1;
    // The rectangle is checked, not trusted: a bad one would write outside the block.
    if (x < 0 || y < 0 || width < 0 || height < 0 || int64_t{x} + width > image->width ||
        int64_t{y} + height > image->height) {
        return -1;
    }
    const int bytes = image->format.bytesPerPixel;
    for (int row = 0; row < height; ++row) {
        uint8_t* start = image->pixels + static_cast<ptrdiff_t>(y + row) * image->pitch +
                         static_cast<ptrdiff_t>(x) * bytes;
        FillMemoryBytes(start, 0, static_cast<uint32_t>(width * bytes));
    }
    return 0;
}

int MirrorPixelImage(PixelImage* image) {
    if (image->width <= 0 || image->height <= 0) return -1;
    const int bytes = image->format.bytesPerPixel;
    if (bytes < 1 || bytes > 4 || image->pixels == nullptr) return 0;
    for (int row = 0; row < image->height; ++row) {
        uint8_t* line = image->pixels + static_cast<ptrdiff_t>(row) * image->pitch;
        for (int left = 0, right = image->width - 1; left < right; ++left, --right) {
            uint8_t held[4];
            std::memcpy(held, line + left * bytes, bytes);
            std::memcpy(line + left * bytes, line + right * bytes, bytes);
            std::memcpy(line + right * bytes, held, bytes);
        }
    }
    return 0;
}
