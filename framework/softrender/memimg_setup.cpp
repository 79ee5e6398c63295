// Setting up, viewing, testing and releasing memory images.
#include <cstddef>
#include <cstdint>

#include "framework/base/base_functions.h"
#include "framework/base/tracked_memory.h"
#include "framework/graphics/image/pixel_format.h"
#include "framework/graphics/screen/screen_mode.h"
#include "framework/softrender/memimg.h"

namespace {

constexpr size_t kPaletteBlockBytes = 2048;
constexpr size_t kSecondPaletteOffset = 1024;

int BytesPerPixelOf(int colorType, int paletteFlag, int alphaFlag) {
    if (paletteFlag) return 1;
    switch (colorType) {
    case kMemImgColor565:
        return alphaFlag ? 4 : 2;
    case kMemImgColor32:
        return 4;
    case kMemImgSingle8:
        return 1;
    default:
        return 2;
    }
}

// log2 of the pitch when the pitch is the smallest power of two that holds
// the row, else -1.
int PitchShiftOf(int64_t rowSize, int pitch) {
    int64_t power = 1;
    int log2 = 0;
    while (power < rowSize) {
        power <<= 1;
        ++log2;
    }
    return power == pitch ? log2 : -1;
}

// Frees every buffer of a base (caller-owned pixels excepted) and the base.
void FreeMemImgBase(MemImgBase* base) {
    if (!base->callerOwnedPixels && base->pixelMemory != nullptr) FreeMemory(base->pixelMemory);
    base->pixelMemory = nullptr;
    if (base->premultipliedPlane != nullptr) FreeMemory(base->premultipliedPlane);
    base->premultipliedPlane = nullptr;
    if (base->runCodeBuffer != nullptr) FreeMemory(base->runCodeBuffer);
    base->runCodeBuffer = nullptr;
    if (base->paletteTable != nullptr) FreeMemory(base->paletteTable);
    base->paletteTable = nullptr;
    base->secondPaletteTable = nullptr;
    FreeMemory(base);
}

}  // namespace

int SetUpMemImg(MEMIMG* image, int width, int height, int pitch, uint32_t transparentColor,
                int colorType, int paletteFlag, int alphaFlag, int makeWorkBuffers,
                void* pixelMemory) {
    if (image == nullptr || image->marker == kMemImgMarker) return -1;
    // Sizes are checked before anything is allocated, so that a bad request
    // cannot produce buffers smaller than the image they describe.
    if (colorType < 0 || colorType > 3 || width < 1 || height < 1) return -1;

    if (paletteFlag) alphaFlag = 0;
    if (colorType == kMemImgSingle8 || colorType == kMemImgSingle16) paletteFlag = alphaFlag = 0;
    const int bytesPerPixel = BytesPerPixelOf(colorType, paletteFlag, alphaFlag);
    const int64_t rowSize = static_cast<int64_t>(bytesPerPixel) * width;
    const int64_t usedPitch = pitch == -1 ? (rowSize + 15) & ~int64_t{15} : pitch;
    if (usedPitch < rowSize || usedPitch > INT32_MAX || usedPitch * height > INT32_MAX ||
        (static_cast<int64_t>(width) + 5) * height > INT32_MAX) {
        return -1;
    }
    const size_t planeBytes = static_cast<size_t>(usedPitch * height);

    auto* base = static_cast<MemImgBase*>(AllocZeroedMemory(sizeof(MemImgBase), "", 0));
    image->base = base;
    if (base == nullptr) return -1;

    base->referenceCount = 1;
    base->width = width;
    base->height = height;
    base->transparentColor = transparentColor;
    base->colorType = colorType;
    base->paletteFlag = paletteFlag;
    base->alphaFlag = alphaFlag;
    base->premultipliedValid = 0;
    base->runCodesValid = 0;
    base->pitch = static_cast<int32_t>(usedPitch);
    base->pitchShift = PitchShiftOf(pitch == -1 ? rowSize : pitch, base->pitch);
    base->format = GetStockPixelFormat(colorType, alphaFlag, paletteFlag);

    bool failed = false;
    if (paletteFlag) {
        auto* block = static_cast<uint8_t*>(AllocZeroedMemory(kPaletteBlockBytes, __FILE__, __LINE__));
        base->paletteTable = block;
        base->secondPaletteTable = block != nullptr ? block + kSecondPaletteOffset : nullptr;
        failed = block == nullptr;
    }
    if (!failed) {
        if (pixelMemory != nullptr) {
            base->pixelMemory = static_cast<uint8_t*>(pixelMemory);
            base->callerOwnedPixels = 1;
        } else {
            base->pixelMemory = static_cast<uint8_t*>(AllocMemory(planeBytes, __FILE__, __LINE__));
            failed = base->pixelMemory == nullptr;
        }
    }
    if (!failed && alphaFlag && base->premultipliedPlane == nullptr && makeWorkBuffers) {
        base->premultipliedPlane = static_cast<uint8_t*>(AllocMemory(planeBytes, __FILE__, __LINE__));
        failed = base->premultipliedPlane == nullptr;
    }
    if (!failed && colorType != kMemImgSingle8 && base->runCodeBuffer == nullptr && makeWorkBuffers) {
        const size_t runBytes = static_cast<size_t>((static_cast<int64_t>(width) + 5) * height);
        base->runCodeBuffer = static_cast<uint8_t*>(AllocMemory(runBytes, __FILE__, __LINE__));
        failed = base->runCodeBuffer == nullptr;
    }
    if (failed) {
        // Nothing of a failed set-up stays allocated, and the record is left
        // unset rather than pointing at freed memory.
        FreeMemImgBase(base);
        FillMemoryBytes(image, 0, sizeof *image);
        return -1;
    }

    image->marker = kMemImgMarker;
    image->width = width;
    image->height = height;
    image->pixels = base->pixelMemory;
    image->premultipliedPixels = base->premultipliedPlane;
    return 0;
}

int NewMemImg(MEMIMG* image, int width, int height, int colorType) {
    FillMemoryBytes(image, 0, sizeof *image);
    if (colorType == -1) colorType = GetScreenColorBitDepth() == 16 ? kMemImgColor565 : kMemImgColor32;
    return SetUpMemImg(image, width, height, -1, 0, colorType, 0, 0, 0, nullptr);
}

void MakeSubMemImg(MEMIMG* view, const MEMIMG* parent, int x, int y, int width, int height) {
    if (view == nullptr || !IsMemImgValid(parent)) return;
    if (x < 0 || y < 0 || width < 0 || height < 0 || int64_t{x} + width > parent->width ||
        int64_t{y} + height > parent->height) {
        return;
    }
    MemImgBase* base = parent->base;
    const ptrdiff_t offset = static_cast<ptrdiff_t>(base->format->bytesPerPixel) * x +
                             static_cast<ptrdiff_t>(base->pitch) * y;
    uint8_t* pixels = parent->pixels + offset;
    uint8_t* premultiplied = base->premultipliedPlane != nullptr ? parent->premultipliedPixels + offset : nullptr;

    // The view may already show an image (even the parent itself): take the
    // new reference first, then let go of the old one, so that neither base
    // leaks nor is freed while still in use.
    ++base->referenceCount;
    FreeMemImg(view);
    view->marker = kMemImgMarker;
    view->width = width;
    view->height = height;
    view->pixels = pixels;
    view->premultipliedPixels = premultiplied;
    view->base = base;
}

void FreeMemImg(MEMIMG* image) {
    if (image == nullptr || image->marker != kMemImgMarker) return;
    MemImgBase* base = image->base;
    if (base != nullptr && --base->referenceCount <= 0) FreeMemImgBase(base);
    image->base = nullptr;
    image->marker = 0;
}

int IsMemImgValid(const MEMIMG* image) {
    return image != nullptr && image->marker == kMemImgMarker && image->base != nullptr ? 1 : 0;
}
