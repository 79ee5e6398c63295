// Making a texture piece's mip levels from the overlap of an upload alone,
// in one scratch block of two halves that take turns.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "framework/base/log.h"
#include "framework/base/tracked_memory.h"
#include "framework/graphics/device/device_resource_locks.h"
#include "framework/graphics/image/color_convert_blit.h"
#include "framework/graphics/image/pixel_format.h"
#include "framework/graphics/image/pixel_image.h"
#include "framework/graphics/textures/texture_upload_job.h"

namespace {

int PowerOfTwoAtLeast(int length) {
    int power = 1;
    while (power < length) power *= 2;
    return power;
}

int Smaller(int a, int b) { return a < b ? a : b; }

// Carries the last column out to the block's width and the last row down to
// its height, so that halving averages the image's own edge.
void ReplicateEdges(uint8_t* block, size_t pitch, int bytesPerPixel, int width, int height, int blockWidth,
                    int blockHeight) {
    const size_t pixel = static_cast<size_t>(bytesPerPixel);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = block + static_cast<size_t>(y) * pitch;
        const uint8_t* last = row + static_cast<size_t>(width - 1) * pixel;
        for (int x = width; x < blockWidth; ++x) std::memcpy(row + static_cast<size_t>(x) * pixel, last, pixel);
    }
    const uint8_t* lastRow = block + static_cast<size_t>(height - 1) * pitch;
    for (int y = height; y < blockHeight; ++y)
        std::memcpy(block + static_cast<size_t>(y) * pitch, lastRow, static_cast<size_t>(blockWidth) * pixel);
}

// The overlap's rectangle at `level`; an edge that shifts onto its opposite
// edge is moved out by one.
RECT LevelRect(const RECT& rect, int level) {
    RECT shifted = {rect.left >> level, rect.top >> level, rect.right >> level, rect.bottom >> level};
    if (shifted.right == shifted.left) shifted.right = shifted.left + 1;
    if (shifted.bottom == shifted.top) shifted.bottom = shifted.top + 1;
    return shifted;
}

}  // namespace

int GenerateMipLevels(const PieceUpload& job, const UploadSource& source) {
    const PixelFormat* format = job.textureFormat;
    const int width = job.sourceRect.right - job.sourceRect.left;
    const int height = job.sourceRect.bottom - job.sourceRect.top;
    const int blockWidth = PowerOfTwoAtLeast(width);
    const int blockHeight = PowerOfTwoAtLeast(height);
    const int bytesPerPixel = format->bytesPerPixel;
    const size_t pitch = static_cast<size_t>(bytesPerPixel) * static_cast<size_t>(blockWidth);
    const size_t half = pitch * static_cast<size_t>(blockHeight);
    auto* scratch = static_cast<uint8_t*>(AllocMemory(half * 2, __FILE__, __LINE__));
    if (scratch == nullptr) {
        WriteLogLine("テクスチャへ転送する画像を一時的に格納するメモリ領域の確保に失敗しました");
        return -1;
    }
    uint8_t* halves[2] = {scratch, scratch + half};
    ConvertIntoLockedBits(halves[0], static_cast<int>(pitch), format, source, job.sourceRect);
    ReplicateEdges(halves[0], pitch, bytesPerPixel, width, height, blockWidth, blockHeight);

    int levelWidth = blockWidth;
    int levelHeight = blockHeight;
    for (int level = 0; level < job.levels; ++level) {
        if (level > 0) {
            // From the previous level's size into the other half.
            HalvePixelBlock(format, halves[level % 2], static_cast<int>(pitch), halves[(level + 1) % 2],
                            static_cast<int>(pitch), 0, 0, 0, 0, levelWidth, levelHeight);
            levelWidth = levelWidth > 1 ? levelWidth / 2 : 1;
            levelHeight = levelHeight > 1 ? levelHeight / 2 : 1;
        }
        const RECT lockRect = LevelRect(job.textureRect, level);
        const LockedTextureLevel locked(job.texture, static_cast<UINT>(level), &lockRect, 0);
        if (!locked.held()) {
            FreeMemory(scratch);
            WriteLogLine(kMipLockFailedText);
            return -1;
        }
        // Only the locked rectangle is written: the level beyond it belongs
        // to other uploads.
        const RECT copied = {0, 0, Smaller(levelWidth, lockRect.right - lockRect.left),
                             Smaller(levelHeight, lockRect.bottom - lockRect.top)};
        ColorConvertBlit(locked.bits(), locked.pitch(), format, halves[level % 2], static_cast<int>(pitch), format,
                         nullptr, 0, nullptr, 0, 0, &copied, 0, 0, 0, kDitherNone, 0, 0, 0, 0);
    }
    FreeMemory(scratch);
    return 0;
}
