// Graphics from pixel images: putting an image into a graphic, making a
// graphic that holds one, and refilling a graphic from images or from files
// held in memory.
#include "framework/graphics/handles/graphic_creation.h"
#include "framework/graphics/handles/graphic_handles.h"
#include "framework/graphics/handles/graphic_image.h"
#include "framework/graphics/handles/graphic_source_file.h"
#include "framework/graphics/graphics_system.h"
#include "framework/graphics/image/image_file_loading.h"
#include "framework/graphics/image/pixel_image.h"
#include "framework/graphics/textures/texture_upload.h"

namespace {

// Mirrors both images when both flags ask for it; a second call undoes it.
void MirrorBoth(PixelImage* image, PixelImage* alphaImage, bool mirror) {
    if (!mirror) return;
    MirrorPixelImage(image);
    if (alphaImage != nullptr) MirrorPixelImage(alphaImage);
}

}  // namespace

int TransferImageToGraphic(PixelImage* image, PixelImage* alphaImage, const POINT* destination,
                           const POINT* sourceOrigin, int handle, int flags, const char* fileName) {
    if (!GraphicsSystemUp || image == nullptr) return -1;
    GraphicRecord* record = GetGraphicRecord(handle);
    if (record == nullptr || record->image == nullptr) return -1;
    if (SetGraphicSourceFileName(handle, fileName, -1) != 0) return -1;
    const POINT to = destination != nullptr ? *destination : POINT{0, 0};
    const POINT from = sourceOrigin != nullptr ? *sourceOrigin : POINT{0, 0};
    record->transferX = to.x - from.x;
    record->transferY = to.y - from.y;
    record->transferFlags = flags;
    const RECT source = {from.x, from.y, image->width, image->height};
    const GraphicImage& block = *record->image;
    return TransferImageToTexture(handle, &source, to.x, to.y, image, alphaImage, block.oneBytePerPixel,
                                  block.alphaTest, 0) == 0
               ? 0
               : -1;
}

int FillGraphicFromImage(PixelImage* image, PixelImage* alphaImage, int x, int y, int handle, int flags) {
    const POINT destination = {x, y};
    return TransferImageToGraphic(image, alphaImage, &destination, nullptr, handle, flags, nullptr);
}

int MakeGraphFromPixelImage(PixelImage* image, PixelImage* alphaImage, int unused, int mirror, int mirrorHere) {
    if (image == nullptr) return -1;
    UpdateSpareMask(&image->format);
    if (alphaImage != nullptr) UpdateSpareMask(&alphaImage->format);
    const bool mirrorNow = mirror == 1 && mirrorHere == 1;
    MirrorBoth(image, alphaImage, mirrorNow);
    int handle = CreateGraphicFromImage(image, alphaImage, unused);
    if (handle >= 0 && TransferImageToGraphic(image, alphaImage, nullptr, nullptr, handle, mirror, nullptr) != 0) {
        DeleteGraphicHandle(handle, 0);
        handle = -1;
    }
    MirrorBoth(image, alphaImage, mirrorNow);
    return handle;
}

int RefillGraphFromPixelImage(PixelImage* image, PixelImage* alphaImage, int handle, int, int mirror,
                              int mirrorHere) {
    const GraphicRecord* record = GetGraphicRecord(handle);
    if (record == nullptr || image == nullptr) return -1;
    if (image->width != record->width || image->height != record->height) return -1;
    if (alphaImage != nullptr && (alphaImage->width != record->width || alphaImage->height != record->height))
        return -1;
    const bool mirrorNow = mirror == 1 && mirrorHere == 1;
    MirrorBoth(image, alphaImage, mirrorNow);
    const int result = TransferImageToGraphic(image, alphaImage, nullptr, nullptr, handle, mirror, nullptr);
    MirrorBoth(image, alphaImage, mirrorNow);
    return result;
}

int RefillGraphFromMemory(const void* colorData, int colorSize, int handle, const void* alphaData, int alphaSize,
                          int unused, int mirror) {
    PixelImage image{};
    PixelImage alphaImage{};
    // Without alpha data no alpha image is looked for.
    const int loaded = LoadImageAndAlphaFiles(nullptr, colorData, colorSize, 1, alphaData, alphaSize,
                                              alphaData != nullptr ? 1 : 2, &image, &alphaImage, mirror);
    if (loaded < 0) return -1;
    const int result =
        RefillGraphFromPixelImage(&image, loaded == 0 ? &alphaImage : nullptr, handle, unused, mirror, 0);
    FreePixelImage(&image);
    FreePixelImage(&alphaImage);
    return result;
}
