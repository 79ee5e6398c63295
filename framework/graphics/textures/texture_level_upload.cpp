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
#include "framework/graphics/textures/texture_upload_job.h"

namespace {

int LevelSide(int side, int level) { return side >> level > 0 ? side >> level : 1; }
int BlockBytes(int dxtKind) { return dxtKind == 1 ? 8 : 16; }
int Smaller(int a, int b) { return a < b ? a : b; }
LONG UpToBlock(LONG edge) { return (edge + 3) / 4 * 4; }

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

bool IsOwnKind(const PieceUpload& job, const PixelImage& image) {
    return job.dxtKind != 0 && image.format.specialFormat == static_cast<uint32_t>(job.dxtKind);
}

// A block-compressed texture is locked and written in whole blocks: the
// rectangle carried out to the blocks it touches, within a level of
// width x height.
RECT WholeBlocks(const RECT& rect, int width, int height) {
    return {rect.left / 4 * 4, rect.top / 4 * 4, Smaller(UpToBlock(rect.right), width),
            Smaller(UpToBlock(rect.bottom), height)};
}

// Whether the overlap's blocks are the image's own: it starts on a block of
// the image and of the texture, and each far edge is a block edge or the
// image's own edge, whose last block is partly outside the image.
bool OnImageBlocks(const PieceUpload& job, const PixelImage& image) {
    const RECT& source = job.sourceRect;
    const RECT& texture = job.textureRect;
    return source.left % 4 == 0 && source.top % 4 == 0 && texture.left % 4 == 0 && texture.top % 4 == 0 &&
           (source.right % 4 == 0 || source.right == image.width) &&
           (source.bottom % 4 == 0 || source.bottom == image.height);
}

// Copies `across` x `down` blocks from rows of `fromRowBytes` bytes into
// locked rows of blocks.
void CopyBlockRows(const D3DLOCKED_RECT& locked, const uint8_t* from, size_t fromRowBytes, int across, int down,
                   int dxtKind) {
    const size_t rowBytes = static_cast<size_t>(across) * static_cast<size_t>(BlockBytes(dxtKind));
    auto* to = static_cast<uint8_t*>(locked.pBits);
    for (int row = 0; row < down; ++row) {
        std::memcpy(to + static_cast<size_t>(row) * static_cast<size_t>(locked.Pitch),
                    from + static_cast<size_t>(row) * fromRowBytes, rowBytes);
    }
}

// Level 0 of a block-compressed image straight into the texture locked at
// the overlap's blocks: the image's rows of blocks hold width / 4 blocks
// rounded up.
void CopyBlocks(const D3DLOCKED_RECT& locked, const PieceUpload& job, const PixelImage& image) {
    const RECT& rect = job.sourceRect;
    const size_t blockBytes = static_cast<size_t>(BlockBytes(job.dxtKind));
    const size_t imageRowBytes = static_cast<size_t>(BlocksAlong(image.width)) * blockBytes;
    const uint8_t* from = image.pixels + static_cast<size_t>(rect.top / 4) * imageRowBytes +
                          static_cast<size_t>(rect.left / 4) * blockBytes;
    CopyBlockRows(locked, from, imageRowBytes, BlocksAlong(rect.right - rect.left), BlocksAlong(rect.bottom - rect.top),
                  job.dxtKind);
}

// Copies (block-compressed) or converts (plain) each of the texture's levels
// from the levels the image holds one after another, each found through the
// one rule of level sizes. Block levels go into the texture's corner, as
// much of each level as the image has: a picture whose sides are not powers
// of two leaves the rest of its texture alone.
int CopyImageLevels(const PieceUpload& job, const UploadSource& source) {
    const PixelImage& image = *source.image;
    const uint8_t* level = image.pixels;
    for (int i = 0; i < job.levels; ++i) {
        const int textureWidth = LevelSide(job.textureWidth, i);
        const int textureHeight = LevelSide(job.textureHeight, i);
        const int width = LevelSide(image.width, i);
        const int height = LevelSide(image.height, i);
        const RECT blocks = WholeBlocks({0, 0, width, height}, textureWidth, textureHeight);
        D3DLOCKED_RECT locked{};
        if (job.texture->LockRect(static_cast<UINT>(i), &locked, job.dxtKind != 0 ? &blocks : nullptr, 0) != D3D_OK) {
            WriteLogLine(kMipLockFailedText);
            return -1;
        }
        const uint64_t levelBytes =
            MipLevelByteCount(image.format, image.width, image.height, image.pitch, static_cast<uint32_t>(i));
        if (job.dxtKind != 0) {
            const int across = BlocksAlong(width);
            CopyBlockRows(locked, level, static_cast<size_t>(across) * static_cast<size_t>(BlockBytes(job.dxtKind)),
                          across, BlocksAlong(height), job.dxtKind);
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
    const RECT lockRect =
        job.dxtKind != 0 ? WholeBlocks(job.textureRect, job.textureWidth, job.textureHeight) : job.textureRect;
    D3DLOCKED_RECT locked{};
    if (job.texture->LockRect(0, &locked, &lockRect, 0) != D3D_OK) {
        WriteLogLine("テクスチャのロックに失敗しました");
        return -1;
    }
    const PixelImage& image = *source.image;
    if (IsOwnKind(job, image) && OnImageBlocks(job, image)) {
        CopyBlocks(locked, job, image);
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
    const bool levelsHeld = IsWholeImage(job, image) && image.mipCount >= static_cast<uint32_t>(job.levels);
    if (job.dxtKind != 0) {
        // The whole image in the texture's corner: its levels are the
        // texture's, each in whole blocks.
        const bool inCorner = job.textureRect.left == 0 && job.textureRect.top == 0;
        if (levelsHeld && inCorner && IsOwnKind(job, image)) return CopyImageLevels(job, source);
        WriteLogLine(kPlainImageForDxtText);
        return 0;
    }
    if (levelsHeld && CoversTexture(job) && image.format.specialFormat == kPlainPixels)
        return CopyImageLevels(job, source);
    if (ExpandSourceImages(source) != 0) {
        WriteLogLine("標準イメージ用のメモリ確保に失敗しました");
        return -1;
    }
    return GenerateMipLevels(job, source);
}
