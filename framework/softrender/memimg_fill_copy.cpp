// Filling a rectangle of a memory image and copying between memory images.
#include <cstddef>
#include <cstring>

#include "framework/graphics/image/color_convert_blit.h"
#include "framework/graphics/image/pixel_format.h"
#include "framework/graphics/models/matrix_math.h"
#include "framework/softrender/memimg.h"

void FillMemImgRect(MEMIMG* image, const RECT* rect, uint32_t color) {
    if (!IsMemImgValid(image)) return;
    RECT area = {0, 0, image->width, image->height};
    if (rect != nullptr) {
        const RECT bounds = area;
        area = *rect;
        ClipRectTo(&area, &bounds);
    }
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return;

    const MemImgBase* base = image->base;
    const int bytes = base->format->bytesPerPixel;
    if (bytes != 1 && bytes != 2 && bytes != 4) return;
    for (int row = 0; row < height; ++row) {
        uint8_t* line = image->pixels + static_cast<ptrdiff_t>(area.top + row) * base->pitch +
                        static_cast<ptrdiff_t>(area.left) * bytes;
        if (bytes == 1) {
            std::memset(line, static_cast<uint8_t>(color), static_cast<size_t>(width));
        } else if (bytes == 2) {
            const uint16_t value = static_cast<uint16_t>(color);
            for (int i = 0; i < width; ++i) std::memcpy(line + i * 2, &value, 2);
        } else {
            for (int i = 0; i < width; ++i) std::memcpy(line + i * 4, &color, 4);
        }
    }
}

int CopyMemImgRect(MEMIMG* destination, const MEMIMG* source, const RECT* sourceRect, int destX,
                   int destY) {
    if (!IsMemImgValid(destination) || !IsMemImgValid(source)) return -1;
    const RECT whole = {0, 0, source->width, source->height};
    const RECT& rect = sourceRect != nullptr ? *sourceRect : whole;
    const int64_t width = int64_t{rect.right} - rect.left;
    const int64_t height = int64_t{rect.bottom} - rect.top;
    // The conversion trusts its rectangle; one reaching outside either image
    // is refused here instead of reading or writing past the pixels.
    if (width > 0 && height > 0 &&
        (rect.left < 0 || rect.top < 0 || rect.right > source->width || rect.bottom > source->height ||
         destX < 0 || destY < 0 || destX + width > destination->width ||
         destY + height > destination->height)) {
        return -1;
    }
    return ColorConvertBlit(destination->pixels, destination->base->pitch, destination->base->format,
                            source->pixels, source->base->pitch, source->base->format, nullptr, 0,
                            nullptr, destX, destY, &rect, 0, 0, 0, 0, 0, 0, 0, 0);
}
