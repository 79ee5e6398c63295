// The model textures: their images made from colour and alpha files (a
// height map turned into a normal map for bump mapping, sizes brought to
// powers of two), and their refill after the device was rebuilt.
#include <cmath>
#include <cstring>

#include "framework/graphics/device/direct3d_device.h"
#include "framework/graphics/handles/graphic_creation.h"
#include "framework/graphics/image/image_file_loading.h"
#include "framework/graphics/image/pixel_format.h"
#include "framework/graphics/image/pixel_image.h"
#include "framework/graphics/models/matrix_math.h"
#include "framework/graphics/models/model_default_textures.h"
#include "framework/graphics/models/model_system.h"
#include "framework/graphics/models/model_tables.h"

namespace {

int PowerOfTwoNotBelow(int value) {
    int power = 1;
    while (power < value) power <<= 1;
    return power;
}

bool IsPowerOfTwo(int value) { return value > 0 && (value & (value - 1)) == 0; }

int LoadOne(const char* file, const void* data, int size, PixelImage* image) {
    if (size != 0) return LoadPixelImage(nullptr, data, size, 1, image, 0);
    return LoadPixelImage(file, nullptr, 0, 0, image, 0);
}

// Brings the image to the next powers of two, each at most half the
// device's largest texture side.
int ResampleToPowersOfTwo(PixelImage* image) {
    if (IsPowerOfTwo(image->width) && IsPowerOfTwo(image->height)) return 0;
    int width = PowerOfTwoNotBelow(image->width);
    int height = PowerOfTwoNotBelow(image->height);
    const int maxWidth = static_cast<int>(Direct3DDevice.caps.MaxTextureWidth) / 2;
    const int maxHeight = static_cast<int>(Direct3DDevice.caps.MaxTextureHeight) / 2;
    if (maxWidth > 0 && width > maxWidth) width = maxWidth;
    if (maxHeight > 0 && height > maxHeight) height = maxHeight;
    PixelImage resized{};
    if (AllocArgb32PixelImage(width, height, &resized) != 0) return -1;
    if (ScalePixelImageRect(0, 0, image->width, image->height, image, 0, 0, width, height, &resized, 1) != 0) {
        FreePixelImage(&resized);
        return -1;
    }
    FreePixelImage(image);
    *image = resized;
    return 0;
}

bool HasFile(const char* file, int size) { return size != 0 || (file != nullptr && file[0] != '\0'); }

void RefillTexture(const ModelTexture& texture) {
    if (!texture.inUse || texture.graphic == -1) return;
    PixelImage color{}, alpha{};
    if (MakeModelTextureImages(texture.colorFile, nullptr, 0, texture.alphaFile, nullptr, 0, texture.bump,
                               texture.bumpScale, &color, &alpha) != 0)
        return;
    RefillGraphFromPixelImage(&color, alpha.pixels != nullptr ? &alpha : nullptr, texture.graphic, 0, 0, 0);
    FreePixelImage(&color);
    FreePixelImage(&alpha);
}

}  // namespace

void ConvertHeightMapToNormalMap(PixelImage* image, float bumpScale) {
    if (bumpScale < 0.000001f) bumpScale = 0.000001f;
    const int width = image->width, height = image->height;
    // Every pixel reads its neighbours' heights before they are overwritten.
    auto* heights = new int[static_cast<size_t>(width) * static_cast<size_t>(height)];
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) ReadPixelRgba(image, x, y, &heights[y * width + x], nullptr, nullptr, nullptr);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int here = heights[y * width + x];
            const int right = heights[y * width + (x + 1) % width];
            const int below = heights[((y + 1) % height) * width + x];
            const float dx = static_cast<float>(right - here) / 255.0f;
            const float dy = static_cast<float>(below - here) / 255.0f;
            VECTOR normal{};
            Vec3NormalizeXyz(&normal, -dx * bumpScale, -dy * bumpScale, bumpScale * bumpScale);
            WritePixelRgba(image, x, y, static_cast<int>((normal.x + 1.0f) * 127.5f),
                           static_cast<int>((normal.y + 1.0f) * 127.5f), static_cast<int>((normal.z + 1.0f) * 127.5f),
                           0);
        }
    delete[] heights;
}

int MakeModelTextureImages(const char* colorFile, const void* colorData, int colorSize, const char* alphaFile,
                           const void* alphaData, int alphaSize, int bump, float bumpScale, PixelImage* colorImage,
                           PixelImage* alphaImage) {
    *colorImage = PixelImage{};
    *alphaImage = PixelImage{};
    const bool hasColor = HasFile(colorFile, colorSize);
    const bool hasAlpha = HasFile(alphaFile, alphaSize);
    if (!hasColor && !hasAlpha) return -1;
    if (hasColor && LoadOne(colorFile, colorData, colorSize, colorImage) != 0) return -1;
    if (hasAlpha && LoadOne(alphaFile, alphaData, alphaSize, alphaImage) != 0) {
        FreePixelImage(colorImage);
        return -1;
    }
    if (!hasColor) {
        if (AllocArgb32PixelImage(alphaImage->width, alphaImage->height, colorImage) != 0) {
            FreePixelImage(alphaImage);
            return -1;
        }
        std::memset(colorImage->pixels, 0xFF, static_cast<size_t>(colorImage->pitch) * colorImage->height);
    }
    if (bump) ConvertHeightMapToNormalMap(colorImage, bumpScale);
    if (ResampleToPowersOfTwo(colorImage) != 0 ||
        (alphaImage->pixels != nullptr && ResampleToPowersOfTwo(alphaImage) != 0)) {
        FreePixelImage(colorImage);
        FreePixelImage(alphaImage);
        return -1;
    }
    return 0;
}

int ReloadModelTextures() {
    for (int index = 0; index < kModelDefaultTextureCount; ++index) {
        size_t size = 0;
        const uint8_t* file = ModelDefaultTextureFile(index, &size);
        // A default texture that was never made reports failure; the rest go on.
        RefillGraphFromMemory(file, static_cast<int>(size), ModelDefaultTextureHandles[index], nullptr, 0, 0, 0);
    }
    for (int slot = 0; slot < ModelBaseDataTable.size; ++slot) {
        const ModelBaseData* base = GetModelBaseData(kModelBaseDataKind | slot);
        if (base == nullptr) continue;
        for (int texture = 0; texture < base->textureCount; ++texture) RefillTexture(base->textures[texture]);
    }
    for (int slot = 0; slot < ModelRecordTable.size; ++slot) {
        void* entry = ModelRecordTable.entries[slot];
        if (entry == nullptr || reinterpret_cast<uintptr_t>(entry) == 1) continue;
        const auto* model = static_cast<const ModelRecord*>(entry);
        for (int texture = 0; texture < model->textureCount; ++texture) RefillTexture(model->textures[texture]);
    }
    return 0;
}
