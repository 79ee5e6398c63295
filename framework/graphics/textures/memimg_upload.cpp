// The upload on the software path: the source rectangle into the memory
// image of the graphic's block, and the transparent palette index of a
// paletted image.
#include <cstdint>

#include "framework/base/log.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/handles/graphic_handles.h"
#include "framework/graphics/handles/graphic_image.h"
#include "framework/graphics/image/pixel_format.h"
#include "framework/graphics/textures/texture_upload_job.h"
#include "framework/softrender/memimg.h"

namespace {

int Smaller(int a, int b) { return a < b ? a : b; }

// The first palette entry of the draw settings' transparent colour, or 0.
int FindTransparentPaletteIndex(const GraphicImage& block, const MemImgBase& base) {
    const int colorType = block.colorBits != 16 ? kMemImgColor32 : kMemImgColor565;
    const uint32_t rgb = CurrentDrawSettings.transparentColor;
    const uint32_t code =
        PixelCodeFromRgba(GetStockPixelFormat(colorType, block.alphaChannel, 0), static_cast<int>(rgb >> 16 & 0xFF),
                          static_cast<int>(rgb >> 8 & 0xFF), static_cast<int>(rgb & 0xFF), 255);
    for (int i = 0; i < 256; ++i) {
        const bool match = base.colorType == kMemImgColor32
                               ? (static_cast<const uint32_t*>(base.paletteTable)[i] & 0xFFFFFF) == (code & 0xFFFFFF)
                               : static_cast<const uint16_t*>(base.paletteTable)[i] == (code & 0xFFFF);
        if (match) return i;
    }
    return 0;
}

}  // namespace

int UploadIntoMemImg(GraphicRecord& record, const RECT& sourceRect, int destX, int destY, UploadSource& source,
                     int imageCoordinates) {
    GraphicImage& block = *record.image;
    int width = sourceRect.right - sourceRect.left;
    int height = sourceRect.bottom - sourceRect.top;
    if (imageCoordinates == 1) {
        width = Smaller(width, block.memImg.width - destX);
        height = Smaller(height, block.memImg.height - destY);
    } else {
        width = Smaller(width, record.width - destX);
        height = Smaller(height, record.height - destY);
        destX += record.x;
        destY += record.y;
    }
    if (width < 1 || height < 1) return -1;
    if (ExpandSourceImages(source) != 0) {
        WriteLogLine("標準イメージ用のメモリ確保に失敗しました");
        return -1;
    }
    if (PutPixelsIntoMemImg(source.image, source.alphaImage, &block.memImg, sourceRect.left, sourceRect.top, width,
                            height, destX, destY, source.useTransparentColor) < 0) {
        return -1;
    }
    MemImgBase& base = *block.memImg.base;
    if (block.paletteTransparency == 1 && base.paletteTable != nullptr)
        base.transparentPaletteIndex = FindTransparentPaletteIndex(block, base);
    return 0;
}
