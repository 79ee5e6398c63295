// The texture upload: the common start, and on the hardware path the walk
// over the texture pieces that the destination overlaps, with the staging
// surface through which render targets receive their pixels.
#include "framework/graphics/textures/texture_upload.h"

#include <cstdint>

#include "framework/base/log.h"
#include "framework/graphics/device/direct3d_device.h"
#include "framework/graphics/textures/graphic_formats.h"
#include "framework/graphics/draws/graphic_draw_parts.h"
#include "framework/graphics/handles/graphic_handles.h"
#include "framework/graphics/handles/graphic_image.h"
#include "framework/graphics/graphics_system.h"
#include "framework/graphics/image/block_compressed_expansion.h"
#include "framework/graphics/image/color_convert_blit.h"
#include "framework/graphics/image/pixel_format.h"
#include "framework/graphics/textures/texture_upload_job.h"
#include "framework/graphics/draws/vertex_batch.h"
#include "platform/gdi/gdi.h"

namespace {

int Larger(int a, int b) { return a > b ? a : b; }
int Smaller(int a, int b) { return a < b ? a : b; }

int DxtKindOf(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_DXT1: return 1;
        case D3DFMT_DXT2: return 2;
        case D3DFMT_DXT3: return 3;
        case D3DFMT_DXT4: return 4;
        case D3DFMT_DXT5: return 5;
        default: return 0;
    }
}

// Cuts the rectangle to what the images hold, moving the destination with
// its top-left corner, so that no read leaves them.
void CutToImages(RECT& rect, int& destX, int& destY, const PixelImage& image, const PixelImage* alphaImage) {
    if (rect.left < 0) {
        destX -= rect.left;
        rect.left = 0;
    }
    if (rect.top < 0) {
        destY -= rect.top;
        rect.top = 0;
    }
    int width = image.width;
    int height = image.height;
    if (alphaImage != nullptr) {
        width = Smaller(width, alphaImage->width);
        height = Smaller(height, alphaImage->height);
    }
    rect.right = Smaller(rect.right, width);
    rect.bottom = Smaller(rect.bottom, height);
}

// The part of `piece` (a rectangle in destination coordinates) that the
// destination rectangle covers, if any.
bool Overlap(const RECT& piece, const RECT& destination, RECT& overlap) {
    overlap = {Larger(piece.left, destination.left), Larger(piece.top, destination.top),
               Smaller(piece.right, destination.right), Smaller(piece.bottom, destination.bottom)};
    return overlap.left < overlap.right && overlap.top < overlap.bottom;
}

// A DIB section's pixels seen as an image of `format`, from GDI's
// description: its size, its row length raised to a multiple of 4 and its
// bits. False when GDI does not describe it as a bitmap with bits of its own,
// or when the format is not plain pixels as wide as the bitmap's, so that no
// row is read past its end.
bool DescribeBitmap(HBITMAP bitmap, const PixelFormat& format, PixelImage& image) {
    BITMAP description{};
    if (bitmap == nullptr ||
        GetObjectA(bitmap, static_cast<int>(sizeof description), &description) != static_cast<int>(sizeof description))
        return false;
    if (description.bmBits == nullptr || description.bmWidth <= 0 || description.bmHeight <= 0 ||
        description.bmWidthBytes <= 0)
        return false;
    if (format.specialFormat != kPlainPixels || format.bitsPerPixel != description.bmBitsPixel) return false;
    const int64_t pitch = (int64_t{description.bmWidthBytes} + 3) / 4 * 4;
    if (pitch > INT32_MAX || pitch * 8 < int64_t{description.bmWidth} * format.bitsPerPixel) return false;
    image = PixelImage{};
    image.format = format;
    image.width = description.bmWidth;
    image.height = description.bmHeight;
    image.pitch = static_cast<int32_t>(pitch);
    image.pixels = static_cast<uint8_t*>(description.bmBits);
    return true;
}

RECT Offset(const RECT& rect, int dx, int dy) {
    return {rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
}

struct TextureUpload {
    IDirect3DDevice9* device;
    const GraphicImage* block;
    D3DFORMAT format;
    const PixelFormat* textureFormat;
    int dxtKind;
    RECT sourceRect;
    IDirect3DSurface9* staging;  // render targets only
};

int UploadPiece(const TextureUpload& upload, TexturePiece& piece, const RECT& textureRect, const RECT& sourceRect,
                UploadSource& source) {
    if (piece.texture == nullptr) return -1;
    if (upload.block->renderTarget) {
        const RECT fromStaging = Offset(sourceRect, -upload.sourceRect.left, -upload.sourceRect.top);
        const POINT at = {textureRect.left, textureRect.top};
        if (upload.device->UpdateSurface(upload.staging, &fromStaging, static_cast<IDirect3DSurface9*>(piece.surface),
                                         &at) != D3D_OK) {
            WriteLogLine("描画可能テクスチャへの画像の転送に失敗しました");
            return -1;
        }
        return 0;
    }
    const PieceUpload job = {static_cast<IDirect3DTexture9*>(piece.texture),
                             upload.textureFormat,
                             upload.dxtKind,
                             upload.block->mipLevelCount,
                             piece.textureWidth,
                             piece.textureHeight,
                             textureRect,
                             sourceRect};
    return job.levels < 2 ? UploadIntoSingleLevel(job, source) : UploadIntoMipLevels(job, source);
}

// The source rectangle, converted once into a system-memory surface from
// which each piece of a render target is updated.
int MakeStagingSurface(TextureUpload& upload, UploadSource& source) {
    if (ExpandSourceImages(source) != 0) {
        WriteLogLine("標準イメージ用のメモリ確保に失敗しました");
        return -1;
    }
    const RECT& rect = upload.sourceRect;
    if (upload.device->CreateOffscreenPlainSurface(static_cast<UINT>(rect.right - rect.left),
                                                   static_cast<UINT>(rect.bottom - rect.top), upload.format,
                                                   D3DPOOL_SYSTEMMEM, &upload.staging, nullptr) != D3D_OK) {
        upload.staging = nullptr;
        WriteLogLine("画像転送用のシステムメモリテクスチャの作成に失敗しました");
        return -1;
    }
    D3DLOCKED_RECT locked{};
    if (upload.staging->LockRect(&locked, nullptr, D3DLOCK_DISCARD) != D3D_OK) {
        upload.staging->Release();
        upload.staging = nullptr;
        WriteLogLine("画像転送用のシステムメモリテクスチャのロックに失敗しました\n");
        return -1;
    }
    ConvertIntoLockedBits(locked.pBits, locked.Pitch, upload.textureFormat, source, rect);
    upload.staging->UnlockRect();
    return 0;
}

int UploadIntoTextures(GraphicRecord& record, const RECT& sourceRect, int destX, int destY, UploadSource& source,
                       int imageCoordinates) {
    const GraphicImage& block = *record.image;
    TextureUpload upload = {Direct3DDevice.device, &block, D3DFMT_UNKNOWN, nullptr, 0, sourceRect, nullptr};
    if (upload.device == nullptr) return -1;
    if (block.formatIndex >= 0 && block.formatIndex < kTextureFormatCount)
        upload.format = Direct3DDevice.textureFormats[block.formatIndex];
    upload.textureFormat = GetPresetPixelFormat(upload.format);
    upload.dxtKind = DxtKindOf(upload.format);
    // A texture of neither kind could take no pixel.
    if (upload.textureFormat == nullptr && upload.dxtKind == 0) return -1;
    if (block.renderTarget && MakeStagingSurface(upload, source) != 0) return -1;

    const RECT destination = {destX, destY, destX + (sourceRect.right - sourceRect.left),
                              destY + (sourceRect.bottom - sourceRect.top)};
    const int toSourceX = sourceRect.left - destX;
    const int toSourceY = sourceRect.top - destY;
    int result = 0;
    if (imageCoordinates == 1) {
        for (int i = 0; i < block.pieceCount && result == 0; ++i) {
            TexturePiece& piece = block.pieces[i];
            const RECT inImage = {piece.x, piece.y, piece.x + piece.usedWidth, piece.y + piece.usedHeight};
            RECT overlap{};
            if (!Overlap(inImage, destination, overlap)) continue;
            result = UploadPiece(upload, piece, Offset(overlap, -piece.x, -piece.y),
                                 Offset(overlap, toSourceX, toSourceY), source);
        }
    } else {
        for (int i = 0; i < record.drawPieceCount && result == 0; ++i) {
            const GraphicDrawPiece& drawn = record.drawPieces[i];
            const RECT inGraphic = {drawn.destX, drawn.destY, drawn.destX + drawn.width, drawn.destY + drawn.height};
            RECT overlap{};
            if (!Overlap(inGraphic, destination, overlap)) continue;
            result = UploadPiece(upload, *drawn.piece,
                                 Offset(overlap, drawn.sourceX - drawn.destX, drawn.sourceY - drawn.destY),
                                 Offset(overlap, toSourceX, toSourceY), source);
        }
    }
    if (upload.staging != nullptr) upload.staging->Release();
    return result;
}

}  // namespace

int ExpandSourceImages(UploadSource& source) {
    if (ExpandSpecialFormat(source.image) != 0) return -1;
    if (source.alphaImage != nullptr && ExpandSpecialFormat(source.alphaImage) != 0) return -1;
    return 0;
}

void ConvertIntoLockedBits(void* bits, int pitch, const PixelFormat* format, const UploadSource& source,
                           const RECT& sourceRect) {
    const PixelImage* image = source.image;
    const PixelImage* alpha = source.alphaImage;
    const int keyToAlpha = source.useTransparentColor && format->alphaMask != 0 && alpha == nullptr ? 1 : 0;
    ColorConvertBlit(bits, pitch, format, image->pixels, image->pitch, &image->format,
                     alpha != nullptr ? alpha->pixels : nullptr, alpha != nullptr ? alpha->pitch : 0,
                     alpha != nullptr ? &alpha->format : nullptr, 0, 0, &sourceRect, 0, keyToAlpha, source.key,
                     kDitherNone, 0, source.oneBytePerPixel, 0, 0);
}

int TransferImageToTexture(int handle, const PixelFormat* bitmapFormat, HBITMAP colorBitmap, HBITMAP alphaBitmap,
                           const RECT* sourceRect, int destX, int destY, int bitmapMode, PixelImage* image,
                           PixelImage* alphaImage, int oneBytePerPixel, int useTransparentColor, int imageCoordinates) {
    if (!GraphicsSystemUp) return -1;
    GraphicRecord* record = GetGraphicRecord(handle);
    if (record == nullptr || record->image == nullptr || sourceRect == nullptr) return -1;
    // Nothing may still draw from a texture about to change.
    FlushVertexBatch();
    RECT rect = *sourceRect;
    if (rect.right - rect.left < 1 || rect.bottom - rect.top < 1) return 0;
    // The bitmaps' pixels, borrowed for this upload only.
    PixelImage bitmapImage{};
    PixelImage bitmapAlphaImage{};
    if (bitmapMode != 0) {
        if (bitmapFormat == nullptr || !DescribeBitmap(colorBitmap, *bitmapFormat, bitmapImage)) return -1;
        if (alphaBitmap != nullptr && !DescribeBitmap(alphaBitmap, *bitmapFormat, bitmapAlphaImage)) return -1;
        image = &bitmapImage;
        alphaImage = alphaBitmap != nullptr ? &bitmapAlphaImage : nullptr;
    }
    if (image == nullptr || image->pixels == nullptr) return -1;
    CutToImages(rect, destX, destY, *image, alphaImage);
    if (rect.right - rect.left < 1 || rect.bottom - rect.top < 1) return 0;

    UploadSource source = {image, alphaImage, oneBytePerPixel, useTransparentColor, record->image->transparentColor};
    if (record->image->hardware) return UploadIntoTextures(*record, rect, destX, destY, source, imageCoordinates);
    return UploadIntoMemImg(*record, rect, destX, destY, source, imageCoordinates);
}

int TransferImageToTexture(int handle, const RECT* sourceRect, int destX, int destY, PixelImage* image,
                           PixelImage* alphaImage, int oneBytePerPixel, int useTransparentColor, int imageCoordinates) {
    return TransferImageToTexture(handle, nullptr, nullptr, nullptr, sourceRect, destX, destY, 0, image, alphaImage,
                                  oneBytePerPixel, useTransparentColor, imageCoordinates);
}
