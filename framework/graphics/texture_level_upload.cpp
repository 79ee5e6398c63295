// Filling the levels of one texture piece: block-compressed images copied
// into textures of their own kind, images that carry their mip levels copied
// level by level, and everything else converted into the texture's format.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "framework/base/log.h"
#include "framework/graphics/image/color_convert_blit.h"
#include "framework/graphics/image/mip_level_sizes.h"
#include "framework/graphics/image/pixel_format.h"
#include "framework/graphics/texture_upload_job.h"

namespace {

int LevelSide(int side, int level) { return side >> level > 0 ? side >> level : 1; }
int BlocksOf(int side) { return (side + 3) / 4 > 0 ? (side + 3) / 4 : 1; }
int BlockBytes(int dxtKind) { return dxtKind == 1 ? 8 : 16; }

bool CoversTexture(const PieceUpload& job) {
    const RECT& rect = job.textureRect;
    return rect.left == 0 && rect.top == 0 && rect.right == job.textureWidth && rect.bottom == job.textureHeight;
}

// The overlap is the whole source image, so that its levels are the
// texture's levels.
bool IsWholeImage(const PieceUpload& job, const PixelImage& image) {
    const RECT& rect = job.sourceRect;
    return rect.left == 0 && rect.top == 0 && rect.right == image.width && rect.bottom == image.height;
}

// Level 0 of a block-compressed image straight into the locked texture: the
// source's block rows from the overlap's corner. False when the overlap does
// not start on a block of the image or reaches past its whole blocks.
bool CopyBlocks(const D3DLOCKED_RECT& locked, const PieceUpload& job, const PixelImage& image) {
    const RECT& rect = job.sourceRect;
    const int imageBlocksAcross = image.width / 4;
    const int imageBlocksDown = image.height / 4;
    if (rect.left % 4 != 0 || rect.top % 4 != 0 || rect.right > imageBlocksAcross * 4 ||
        rect.bottom > imageBlocksDown * 4) {
        return false;
    }
    const size_t blockBytes = static_cast<size_t>(BlockBytes(job.dxtKind));
    const size_t rowBytes = static_cast<size_t>(BlocksOf(job.textureWidth)) * blockBytes;
    const int rows = BlocksOf(job.textureHeight);
    const size_t imageRowBytes = static_cast<size_t>(imageBlocksAcross) * blockBytes;
    const uint8_t* from = image.pixels + static_cast<size_t>(rect.top / 4) * imageRowBytes +
                          static_cast<size_t>(rect.left / 4) * blockBytes;
    auto* to = static_cast<uint8_t*>(locked.pBits);
    for (int row = 0; row < rows; ++row) {
        std::memcpy(to + static_cast<size_t>(row) * static_cast<size_t>(locked.Pitch),
                    from + static_cast<size_t>(row) * imageRowBytes, rowBytes);
    }
    return true;
}

// Copies (block-compressed) or converts (plain) each of the texture's levels
// from the levels the image holds one after another, each found through the
// one rule of level sizes.
int CopyImageLevels(const PieceUpload& job, const UploadSource& source) {
    const PixelImage& image = *source.image;
    const uint8_t* level = image.pixels;
    for (int i = 0; i < job.levels; ++i) {
        D3DLOCKED_RECT locked{};
        if (job.texture->LockRect(static_cast<UINT>(i), &locked, nullptr, 0) != D3D_OK) {
            WriteLogLine(kMipLockFailedText);
            return -1;
        }
        const uint64_t levelBytes =
            MipLevelByteCount(image.format, image.width, image.height, image.pitch, static_cast<uint32_t>(i));
        const int width = LevelSide(job.textureWidth, i);
        const int height = LevelSide(job.textureHeight, i);
        if (job.dxtKind != 0) {
            const size_t rowBytes = static_cast<size_t>(BlocksOf(width)) * static_cast<size_t>(BlockBytes(job.dxtKind));
            const int rows = BlocksOf(height);
            for (int row = 0; row < rows && (static_cast<uint64_t>(row) + 1) * rowBytes <= levelBytes; ++row) {
                std::memcpy(static_cast<uint8_t*>(locked.pBits) + static_cast<size_t>(row) * static_cast<size_t>(locked.Pitch),
                            level + static_cast<size_t>(row) * rowBytes, rowBytes);
            }
        } else {
            // Further levels are stored without row padding.
            const int pitch = i == 0 ? image.pitch : width * image.format.bytesPerPixel;
            const RECT whole = {0, 0, width, height};
            UploadSource levelSource = source;
            PixelImage levelImage = image;
            levelImage.pixels = const_cast<uint8_t*>(level);
            levelImage.pitch = pitch;
            levelSource.image = &levelImage;
            levelSource.alphaImage = nullptr;
            ConvertIntoLockedBits(locked.pBits, locked.Pitch, job.textureFormat, levelSource, whole);
        }
        job.texture->UnlockRect(static_cast<UINT>(i));
        level += levelBytes;
    }
    return 0;
}

}  // namespace

int UploadIntoSingleLevel(const PieceUpload& job, UploadSource& source) {
    D3DLOCKED_RECT locked{};
    if (job.texture->LockRect(0, &locked, &job.textureRect, 0) != D3D_OK) {
        WriteLogLine("テクスチャのロックに失敗しました");
        return -1;
    }
    const PixelImage& image = *source.image;
    const bool sameKind = job.dxtKind != 0 && image.format.specialFormat == static_cast<uint32_t>(job.dxtKind);
    if (sameKind && CoversTexture(job) && CopyBlocks(locked, job, image)) {
        // copied as it is
    } else if (job.dxtKind != 0) {
        WriteLogLine(kPlainImageForDxtText);
    } else if (ExpandSourceImages(source) != 0) {
        job.texture->UnlockRect(0);
        WriteLogLine("標準イメージ用のメモリ確保に失敗しました");
        return -1;
    } else {
        ConvertIntoLockedBits(locked.pBits, locked.Pitch, job.textureFormat, source, job.sourceRect);
    }
    job.texture->UnlockRect(0);
    return 0;
}

int UploadIntoMipLevels(const PieceUpload& job, UploadSource& source) {
    const PixelImage& image = *source.image;
    const bool levelsHeld = CoversTexture(job) && IsWholeImage(job, image) &&
                            image.mipCount >= static_cast<uint32_t>(job.levels);
    if (job.dxtKind != 0) {
        if (levelsHeld && image.format.specialFormat == static_cast<uint32_t>(job.dxtKind))
            return CopyImageLevels(job, source);
        WriteLogLine(kPlainImageForDxtText);
        return 0;
    }
    if (levelsHeld && image.format.specialFormat == kPlainPixels) return CopyImageLevels(job, source);
    if (ExpandSourceImages(source) != 0) {
        WriteLogLine("標準イメージ用のメモリ確保に失敗しました");
        return -1;
    }
    return GenerateMipLevels(job, source);
}
