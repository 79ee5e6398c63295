// Internal to the texture upload: what one upload carries from piece to
// piece, and the steps that fill one texture piece or a memory image.
#pragma once

#include <cstdint>

#include "platform/d3d9/d3d9.h"

struct GraphicRecord;
struct PixelFormat;
struct PixelImage;

struct UploadSource {
    PixelImage* image;
    PixelImage* alphaImage;  // or null
    int oneBytePerPixel;     // the conversion's alphaFromRed
    int useTransparentColor;
    uint32_t key;            // the block's transparent colour, 0xRRGGBB
};

// One texture piece's share of an upload.
struct PieceUpload {
    IDirect3DTexture9* texture;
    const PixelFormat* textureFormat;  // null for a block-compressed texture
    int dxtKind;                       // 1 to 5 for a block-compressed texture, else 0
    int levels;                        // mip levels of the texture
    int textureWidth;
    int textureHeight;
    RECT textureRect;  // the overlap inside the texture
    RECT sourceRect;   // the same pixels inside the source image
};

// Expands block-compressed colour and alpha images to plain pixels in place.
// 0, or -1 when they cannot be.
int ExpandSourceImages(UploadSource& source);
// Converts `sourceRect` of the source into the pixels at `bits` (their top
// left) in `format`: with the alpha image, the transparent colour keyed to
// alpha when asked for and the format has alpha while no alpha image does.
void ConvertIntoLockedBits(void* bits, int pitch, const PixelFormat* format, const UploadSource& source,
                           const RECT& sourceRect);

// Fill the piece's level 0, or all its levels. 0, or -1 (logged).
int UploadIntoSingleLevel(const PieceUpload& job, UploadSource& source);
int UploadIntoMipLevels(const PieceUpload& job, UploadSource& source);
// Makes every level of the piece from the overlap alone: level 0 converted
// into a scratch block of powers of two (its edges carried out to fill it),
// each further level halved from the one before; each level written into the
// overlap's rectangle at that level. 0, or -1 (logged).
int GenerateMipLevels(const PieceUpload& job, const UploadSource& source);

// The software path: `sourceRect` into the block's memory image. 0 or -1.
int UploadIntoMemImg(GraphicRecord& record, const RECT& sourceRect, int destX, int destY, UploadSource& source,
                     int imageCoordinates);

// The log line of a plain image refused by a block-compressed texture.
constexpr const char* kPlainImageForDxtText =
    "DXTフォーマットのテクスチャに標準形式のイメージを転送することはできません";
constexpr const char* kMipLockFailedText = "ミップマップテクスチャのロックに失敗しました";
