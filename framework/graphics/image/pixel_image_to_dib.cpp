// Handing a pixel image to GDI as a top-down DIB.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "framework/base/tracked_memory.h"
#include "framework/graphics/image/block_compressed_expansion.h"
#include "framework/graphics/image/color_convert_blit.h"
#include "framework/graphics/image/pixel_format.h"
#include "framework/graphics/image/pixel_image_dib.h"

namespace {

constexpr size_t kPaletteBytes = 256 * sizeof(RGBQUAD);

bool IsBlueGreenRed24(const PixelFormat& format) {
    return format.bitsPerPixel == 24 && format.redMask == 0xFF0000 && format.greenMask == 0xFF00 &&
           format.blueMask == 0xFF;
}

// A new block of the DIB's rows with each image row's first `rowBytes` bytes;
// null when it cannot be allocated.
uint8_t* CopyRows(const PixelImage& image, int dibPitch, int rowBytes) {
    auto* rows = static_cast<uint8_t*>(
        AllocZeroedMemory(static_cast<size_t>(dibPitch) * static_cast<size_t>(image.height), __FILE__, __LINE__));
    if (rows == nullptr) return nullptr;
    for (int y = 0; y < image.height; ++y) {
        std::memcpy(rows + static_cast<ptrdiff_t>(y) * dibPitch, image.pixels + static_cast<ptrdiff_t>(y) * image.pitch,
                    static_cast<size_t>(rowBytes));
    }
    return rows;
}

}  // namespace

int PixelImageToDib(PixelImage* image, BITMAPINFO* header, void** bits, int forceCopy, int force24) {
    if (ExpandSpecialFormat(image) < 0) return -1;
    if (image->pixels == nullptr || image->width <= 0 || image->height <= 0) return -1;
    const int width = image->width;
    const int height = image->height;
    // The 24-bit rows are the widest a DIB gets here; they must fit one block.
    if ((int64_t{width} + 1) * 3 * height > static_cast<int64_t>(MaxTrackedBlockSize)) return -1;

    BITMAPINFOHEADER& info = header->bmiHeader;
    std::memset(&info, 0, sizeof info);
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = -height;  // negative: the rows run top down
    info.biPlanes = 1;
    info.biCompression = BI_RGB;

    if (image->format.bitsPerPixel == 8 && !force24) {
        info.biBitCount = 8;
        std::memcpy(reinterpret_cast<uint8_t*>(header) + sizeof info, image->format.palette, kPaletteBytes);
        const int dibPitch = (width + 3) / 4 * 4;
        if (forceCopy != 1 && dibPitch == image->pitch) {
            *bits = image->pixels;
            return 0;
        }
        uint8_t* rows = CopyRows(*image, dibPitch, width);
        if (rows == nullptr) return -1;
        *bits = rows;
        return 1;
    }

    info.biBitCount = 24;
    const int dibPitch = (width + 1) * 3 / 4 * 4;
    if (IsBlueGreenRed24(image->format)) {
        if (forceCopy != 1 && dibPitch == image->pitch) {
            *bits = image->pixels;
            return 0;
        }
        uint8_t* rows = CopyRows(*image, dibPitch, width * 3);
        if (rows == nullptr) return -1;
        *bits = rows;
        return 1;
    }

    auto* rows = static_cast<uint8_t*>(
        AllocZeroedMemory(static_cast<size_t>(dibPitch) * static_cast<size_t>(height), __FILE__, __LINE__));
    if (rows == nullptr) return -1;
    PixelFormat rgb24;
    std::memset(&rgb24, 0, sizeof rgb24);
    UseRgb24Format(&rgb24);
    const RECT whole = {0, 0, width, height};
    ColorConvertBlit(rows, dibPitch, &rgb24, image->pixels, image->pitch, &image->format, nullptr, 0, nullptr, 0, 0,
                     &whole, 0, 0, 0, 0, 0, 0, 0, 0);
    *bits = rows;
    return 1;
}
