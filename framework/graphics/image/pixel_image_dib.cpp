// Stand-in until the pixel images' DIB conversion is built.
// Enough of it for the image loads that hand back a DIB: the header, the
// palette, and the bits shared, copied or converted to 24 bits.
#include "framework/graphics/image/pixel_image_dib.h"

#include <cstring>

#include "framework/base/tracked_memory.h"
#include "framework/graphics/image/color_convert_blit.h"

namespace {

uint8_t* CopyRows(const PixelImage* image, int64_t dibPitch, int64_t rowBytes) {
    auto* bits = static_cast<uint8_t*>(
        AllocZeroedMemory(static_cast<size_t>(dibPitch * image->height), __FILE__, __LINE__));
    if (bits == nullptr) return nullptr;
    for (int y = 0; y < image->height; ++y) {
        std::memcpy(bits + y * dibPitch, image->pixels + static_cast<ptrdiff_t>(y) * image->pitch,
                    static_cast<size_t>(rowBytes));
    }
    return bits;
}

}  // namespace

int PixelImageToDib(const PixelImage* image, BITMAPINFO* header, void** bits, int forceCopy, int force24) {
    std::memset(header, 0, kDibHeaderBlockSize);
    BITMAPINFOHEADER& info = header->bmiHeader;
    info.biSize = sizeof(BITMAPINFOHEADER);
    info.biWidth = image->width;
    info.biHeight = -image->height;
    info.biPlanes = 1;
    info.biCompression = BI_RGB;

    const PixelFormat& format = image->format;
    if (format.bytesPerPixel == 1 && !force24) {
        info.biBitCount = 8;
        std::memcpy(reinterpret_cast<uint8_t*>(header) + sizeof(BITMAPINFOHEADER), format.palette,
                    sizeof format.palette);
        const int64_t dibPitch = (int64_t{image->width} + 3) / 4 * 4;
        if (forceCopy != 1 && dibPitch == image->pitch) {
            *bits = image->pixels;
            return 0;
        }
        *bits = CopyRows(image, dibPitch, image->width);
        return *bits == nullptr ? -1 : 1;
    }

    info.biBitCount = 24;
    const int64_t dibPitch = (int64_t{image->width} * 3 + 3) / 4 * 4;
    PixelFormat rgb24{};
    UseRgb24Format(&rgb24);
    const bool plain24 = format.bitsPerPixel == 24 && format.redMask == rgb24.redMask &&
                         format.greenMask == rgb24.greenMask && format.blueMask == rgb24.blueMask;
    if (plain24) {
        if (forceCopy != 1 && dibPitch == image->pitch) {
            *bits = image->pixels;
            return 0;
        }
        *bits = CopyRows(image, dibPitch, int64_t{image->width} * 3);
        return *bits == nullptr ? -1 : 1;
    }
    auto* converted = static_cast<uint8_t*>(
        AllocZeroedMemory(static_cast<size_t>(dibPitch * image->height), __FILE__, __LINE__));
    if (converted == nullptr) return -1;
    const RECT whole = {0, 0, image->width, image->height};
    ColorConvertBlit(converted, static_cast<int>(dibPitch), &rgb24, image->pixels, image->pitch, &format, nullptr,
                     0, nullptr, 0, 0, &whole, 0, 0, 0, kDitherNone, 0, 0, 0, 0);
    *bits = converted;
    return 1;
}
