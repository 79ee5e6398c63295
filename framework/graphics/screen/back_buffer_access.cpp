// The current draw target's pixels for the CPU. On the hardware path the
// target is locked directly when the device allows it; otherwise the
// rectangle goes through a render target into system memory and that copy is
// locked. On the software path the image is a view of the target's memory.
#include "framework/graphics/screen/back_buffer_access.h"

#include "framework/base/log.h"
#include "framework/graphics/device/device_resource_locks.h"
#include "framework/graphics/device/direct3d_device.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/screen/draw_target.h"
#include "framework/graphics/draws/graphic_draw_parts.h"
#include "framework/graphics/textures/graphic_formats.h"
#include "framework/graphics/handles/graphic_handles.h"
#include "framework/graphics/handles/graphic_image.h"
#include "framework/graphics/graphics_system.h"
#include "framework/graphics/image/color_convert_blit.h"
#include "framework/graphics/image/pixel_format.h"
#include "framework/graphics/screen/screen_image_access.h"
#include "framework/graphics/draws/vertex_batch.h"
#include "framework/softrender/memimg.h"
#include "platform/d3d9/d3d9.h"

namespace {

struct BackBufferLockState {
    int locked;
    IDirect3DSurface9* lockedSurface;  // the target itself, locked directly
    IDirect3DSurface9* systemCopy;     // or the copy that was locked instead
};
BackBufferLockState BackBufferLock{};

struct DrawTargetSource {
    IDirect3DSurface9* surface;
    D3DFORMAT format;
    const MEMIMG* memImg;
};

DrawTargetSource CurrentSource() {
    DrawTargetSource source{};
    const GraphicRecord* record = GetGraphicRecord(GetDrawTarget());
    if (record != nullptr && record->image != nullptr) {
        if (record->image->pieceCount > 0)
            source.surface = static_cast<IDirect3DSurface9*>(record->image->pieces[0].surface);
        source.format = Direct3DDevice.textureFormats[record->image->formatIndex];
        source.memImg = &record->memImg;
        return source;
    }
    source.surface = Direct3DDevice.subBackBuffer != nullptr ? Direct3DDevice.subBackBuffer
                                                               : Direct3DDevice.backBuffer;
    source.format = Direct3DDevice.screenFormat;
    source.memImg = &PrimaryScreenMemImg;
    return source;
}

bool RectangleFitsTarget(int left, int top, int right, int bottom) {
    int width = 0, height = 0;
    if (GetDrawTargetSize(&width, &height) != 0) return false;
    return left >= 0 && left < right && top >= 0 && top < bottom && right <= width && bottom <= height;
}

void CloseScene() {
    FlushVertexBatch();
    EndDeviceScene();
}

int LockThroughCopy(IDirect3DSurface9* source, D3DFORMAT format, const RECT& rect, D3DLOCKED_RECT* locked) {
    IDirect3DDevice9* device = Direct3DDevice.device;
    const UINT width = static_cast<UINT>(rect.right - rect.left);
    const UINT height = static_cast<UINT>(rect.bottom - rect.top);
    IDirect3DSurface9* renderTarget = nullptr;
    if (FAILED(device->CreateRenderTarget(width, height, format, D3DMULTISAMPLE_NONE, 0, FALSE, &renderTarget,
                                          nullptr))) {
        WriteLogLine("バックバッファロック用描画可能サーフェスの作成に失敗しました\n");
        return -1;
    }
    IDirect3DSurface9* systemCopy = nullptr;
    if (FAILED(device->CreateOffscreenPlainSurface(width, height, format, D3DPOOL_SYSTEMMEM, &systemCopy,
                                                   nullptr))) {
        WriteLogLine("バックバッファロック用システムメモリサーフェスの作成に失敗しました\n");
        renderTarget->Release();
        return -1;
    }
    device->StretchRect(source, &rect, renderTarget, nullptr, D3DTEXF_NONE);
    device->GetRenderTargetData(renderTarget, systemCopy);
    const HRESULT result = systemCopy->LockRect(locked, nullptr, D3DLOCK_READONLY);
    renderTarget->Release();
    if (FAILED(result)) {
        systemCopy->Release();
        return -1;
    }
    BackBufferLock.systemCopy = systemCopy;
    return 0;
}

}  // namespace

int LockBackBuffer(const int* rect, PixelImage* image) {
    // A second lock would lose the first one's copy and leave its surface
    // locked; it is refused instead.
    if (BackBufferLock.locked) return -1;
    CloseScene();
    const DrawTargetSource source = CurrentSource();
    const RECT area{rect[0], rect[1], rect[2], rect[3]};
    if (!RectangleFitsTarget(area.left, area.top, area.right, area.bottom)) return -1;

    if (HardwarePathFlag && Direct3DDevice.device != nullptr) {
        const PixelFormat* format = GetPresetPixelFormat(static_cast<uint32_t>(source.format));
        if (format == nullptr || source.surface == nullptr) return -1;
        D3DLOCKED_RECT locked{};
        if (SUCCEEDED(source.surface->LockRect(&locked, &area, D3DLOCK_READONLY))) {
            BackBufferLock.lockedSurface = source.surface;
        } else if (LockThroughCopy(source.surface, source.format, area, &locked) != 0) {
            return -1;
        }
        image->format = *format;
        image->pitch = locked.Pitch;
        image->pixels = static_cast<uint8_t*>(locked.pBits);
    } else {
        const MEMIMG* memImg = source.memImg;
        if (memImg == nullptr || memImg->base == nullptr) return -1;
        const PixelFormat* format = memImg->base->format;
        image->format = *format;
        image->pitch = memImg->base->pitch;
        image->pixels = memImg->pixels + area.top * memImg->base->pitch + area.left * format->bytesPerPixel;
    }
    image->width = area.right - area.left;
    image->height = area.bottom - area.top;
    image->mipCount = 0;
    BackBufferLock.locked = 1;
    return 0;
}

int UnlockBackBuffer() {
    if (!BackBufferLock.locked) return 0;
    if (BackBufferLock.systemCopy != nullptr) {
        BackBufferLock.systemCopy->UnlockRect();
        BackBufferLock.systemCopy->Release();
    } else if (BackBufferLock.lockedSurface != nullptr) {
        BackBufferLock.lockedSurface->UnlockRect();
    }
    BackBufferLock = BackBufferLockState{};
    return 0;
}

int IsBackBufferLockCopied() { return BackBufferLock.systemCopy != nullptr ? 1 : 0; }

int CaptureScreenImage(int x1, int y1, int x2, int y2, int handle, int option) {
    GraphicRecord* record = GetGraphicRecord(handle);
    if (record == nullptr || record->image == nullptr) return -1;
    CloseScene();
    if (!RectangleFitsTarget(x1, y1, x2, y2)) return -1;
    if (record->width != x2 - x1 || record->height != y2 - y1) return -1;

    const GraphicImage& image = *record->image;
    const DrawTargetSource source = CurrentSource();
    const RECT area{x1, y1, x2, y2};
    if (!image.hardware) {
        if (source.memImg == nullptr) return -1;
        return CopyMemImgRect(&record->memImg, source.memImg, &area, 0, 0) < 0 ? -1 : 0;
    }
    if (Direct3DDevice.device == nullptr) return -1;
    if (image.renderTarget && image.pieceCount > 0) {
        const RECT whole{0, 0, record->width, record->height};
        Direct3DDevice.device->StretchRect(source.surface, &area,
                                           static_cast<IDirect3DSurface9*>(image.pieces[0].surface), &whole,
                                           D3DTEXF_NONE);
        return 0;
    }

    PixelImage screen{};
    const int rect[4] = {x1, y1, x2, y2};
    if (LockBackBuffer(rect, &screen) != 0) return -1;
    const PixelFormat* textureFormat = GetFormatIndexPixelFormat(image.formatIndex);
    for (int index = 0; index < record->drawPieceCount; ++index) {
        const GraphicDrawPiece& part = record->drawPieces[index];
        auto* texture = static_cast<IDirect3DTexture9*>(part.piece->texture);
        const RECT used{0, 0, part.piece->usedWidth, part.piece->usedHeight};
        const LockedTextureLevel locked(texture, 0, &used, 0);
        if (!locked.held()) continue;
        const RECT from{part.destX, part.destY, part.destX + part.width, part.destY + part.height};
        ColorConvertBlit(locked.bits(), locked.pitch(), textureFormat, screen.pixels, screen.pitch, &screen.format,
                         nullptr, 0, nullptr, part.sourceX, part.sourceY, &from, 0, image.alphaTest,
                         image.transparentColor, 0, 0, 0, 0, 0);
    }
    UnlockBackBuffer();
    return 0;
}
