// Setting up the image block of a new graphic, and the graphics made empty or
// for a pixel image.
#include "framework/base/log.h"
#include "framework/base/tracked_memory.h"
#include "framework/graphics/device/direct3d_device.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/handles/graphic_creation.h"
#include "framework/graphics/draws/graphic_draw_info.h"
#include "framework/graphics/textures/graphic_formats.h"
#include "framework/graphics/handles/graphic_handles.h"
#include "framework/graphics/handles/graphic_image.h"
#include "framework/graphics/textures/graphic_textures.h"
#include "framework/graphics/graphics_system.h"
#include "framework/graphics/image/pixel_format.h"
#include "framework/graphics/screen/screen_mode.h"
#include "framework/graphics/textures/texture_split.h"
#include "framework/window/main_window.h"

namespace {

uint8_t ColorBitsOf(int depth) { return depth == 16 ? 16 : 32; }

// The description of a new block from the arguments and the options for new
// graphics.
void Describe(GraphicImage& block, bool hardware, int alpha, int oneBytePerPixel, int compressedKind,
              int mipLevels) {
    const DrawSettings& settings = CurrentDrawSettings;
    block.hardware = hardware ? 1 : 0;
    // -1 asks for the default; no count below one level means anything.
    block.mipLevels = static_cast<uint8_t>(mipLevels < 1 ? 1 : mipLevels);
    if (settings.newGraphDrawTarget == 1) {
        block.renderTarget = 1;
        block.unmanaged = 1;
        block.mipLevels = 1;
    } else {
        block.alphaChannel = alpha ? 1 : 0;
        block.alphaTest = settings.newGraphTransFlag ? 1 : 0;
        block.unmanaged = settings.newGraphUnmanaged ? 1 : 0;
        block.compressedKind = static_cast<uint8_t>(compressedKind);
    }
    const int depth = settings.newGraphColorDepth;
    if (hardware) {
        block.colorBits = ColorBitsOf(depth != 0 ? depth : (block.alphaChannel ? 32 : GetScreenColorBitDepth()));
        if (block.alphaChannel) block.alphaTest = 0;
    } else {
        block.colorBits = ColorBitsOf(depth != 0 ? depth : GetScreenColorBitDepth());
        block.renderTarget = 1;
        block.unmanaged = 0;
        block.compressedKind = 0;
        block.mipLevels = 0;
        block.oneBytePerPixel = oneBytePerPixel ? 1 : 0;
    }
    block.mipLevelCount = block.mipLevels;
}

int SetUpTextures(int handle, GraphicImage& block) {
    const Direct3DDeviceState& device = Direct3DDevice;
    int screenWidth = 0;
    GetMainScreenSize(&screenWidth, nullptr);
    TexturePiece laidOut[kMaxTexturePieces] = {};
    const int count = LayOutTexturePieces(block.width, block.height, device.maxTextureSize, screenWidth,
                                          block.renderTarget || NoTextureDivisionFlag,
                                          (device.caps.TextureCaps & D3DPTEXTURECAPS_SQUAREONLY) != 0, laidOut);
    if (count < 0) {
        WriteLogFormat("グラフィックに必要なテクスチャの数が %d 枚を越えました", kMaxTexturePieces);
        return -1;
    }
    block.pieces = static_cast<TexturePiece*>(
        AllocZeroedMemory(sizeof(TexturePiece) * static_cast<size_t>(count), __FILE__, __LINE__));
    if (block.pieces == nullptr) {
        WriteLogLine("グラフィックのオリジナル画像データ保存用メモリの確保に失敗しました\n");
        return -1;
    }
    for (int i = 0; i < count; ++i) block.pieces[i] = laidOut[i];
    block.pieceCount = count;
    if (CreateGraphicTexture(&block) != 0) return -1;
    return BuildGraphicDrawInfo(handle);
}

int SetUpMemoryImage(int handle, GraphicImage& block) {
    const int colorType = block.colorBits == 16 ? kMemImgColor565 : kMemImgColor32;
    uint32_t transparent = 65535;
    if (!block.oneBytePerPixel) {
        const uint32_t rgb = block.transparentColor;
        transparent = PixelCodeFromRgba(GetStockPixelFormat(colorType, block.alphaChannel, 0),
                                        static_cast<int>(rgb >> 16 & 0xFF), static_cast<int>(rgb >> 8 & 0xFF),
                                        static_cast<int>(rgb & 0xFF), 255);
    }
    if (SetUpMemImg(&block.memImg, block.width, block.height, -1, transparent, colorType, block.oneBytePerPixel,
                    block.alphaChannel, 0, nullptr) != 0) {
        WriteLogLine("メモリイメージの作成に失敗しました\n");
        return -1;
    }
    return BuildGraphicDrawInfo(handle);
}

}  // namespace

int SetupGraphicImage(int handle, int width, int height, int alpha, int oneBytePerPixel, int compressedKind,
                      int mipLevels) {
    GraphicRecord* record = GetGraphicRecord(handle);
    if (record == nullptr) return -1;
    if (width < 1 || height < 1) {
        DeleteGraphicHandle(handle, 0);
        return -1;
    }
    auto* block = static_cast<GraphicImage*>(AllocZeroedMemory(sizeof(GraphicImage), __FILE__, __LINE__));
    if (block == nullptr) {
        WriteLogLine("グラフィックのオリジナル画像データ保存用メモリの確保に失敗しました\n");
        DeleteGraphicHandle(handle, 0);
        return -1;
    }
    Describe(*block, IsDirect3DPathInUse() != 0, alpha, oneBytePerPixel, compressedKind, mipLevels);
    block->transparentColor = CurrentDrawSettings.transparentColor & 0xFFFFFF;
    block->width = width;
    block->height = height;
    block->referenceCount = 1;
    block->formatIndex = ClassifyPixelFormat(block);
    // From here the deletion of the handle releases whatever the block holds.
    record->image = block;
    record->x = 0;
    record->y = 0;
    record->width = width;
    record->height = height;

    const int result = block->hardware ? SetUpTextures(handle, *block) : SetUpMemoryImage(handle, *block);
    if (result != 0) {
        DeleteGraphicHandle(handle, 0);
        return -1;
    }
    return 0;
}

int MakeEmptyGraphic(int width, int height) {
    if (!GraphicsSystemUp) return -1;
    WaitWhileInactive();
    const int handle = AllocGraphicHandle();
    if (SetupGraphicImage(handle, width, height, CurrentDrawSettings.newGraphAlphaFlag, 0, 0, -1) != 0) return -1;
    return handle;
}

int CreateGraphicFromImage(const PixelImage* image, const PixelImage* alphaImage, int) {
    if (!GraphicsSystemUp || image == nullptr) return -1;
    if (alphaImage != nullptr && (alphaImage->width != image->width || alphaImage->height != image->height))
        return -1;
    const bool alpha = image->format.alphaMask != 0 || alphaImage != nullptr;
    const bool oneBytePerPixel = image->format.bytesPerPixel == 1 && !alpha;
    const int compressedKind = image->format.specialFormat <= kDxt5Pixels ? static_cast<int>(image->format.specialFormat) : 0;
    const int mipLevels = image->mipCount > 0 ? static_cast<int>(image->mipCount) : -1;
    const int handle = AllocGraphicHandle();
    if (SetupGraphicImage(handle, image->width, image->height, alpha ? 1 : 0, oneBytePerPixel ? 1 : 0,
                          compressedKind, mipLevels) != 0) {
        return -1;
    }
    return handle;
}
