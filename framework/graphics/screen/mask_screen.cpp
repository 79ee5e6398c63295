// The mask screen's buffers and its use: the mask memory, and the mask
// screen itself as a memory image (software path) or as a render-target
// texture beside the mask as a texture (hardware path).
#include "framework/graphics/screen/mask_screen.h"

#include <cstring>

#include "framework/base/tracked_memory.h"
#include "framework/graphics/device/device_resource_locks.h"
#include "framework/graphics/device/device_state_cache.h"
#include "framework/graphics/device/direct3d_device.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/screen/draw_target.h"
#include "framework/graphics/draws/graphic_draw_parts.h"
#include "framework/graphics/textures/graphic_formats.h"
#include "framework/graphics/handles/graphic_handles.h"
#include "framework/graphics/handles/graphic_image.h"
#include "framework/graphics/graphics_system.h"
#include "framework/graphics/image/pixel_format.h"
#include "framework/graphics/screen/mask_screen_state.h"
#include "framework/graphics/screen/screen_mode.h"
#include "framework/graphics/draws/vertex_batch.h"
#include "framework/softrender/memimg.h"
#include "framework/base/fatal_exit.h"

int MaskReverseFlag = 0;
uint8_t* MaskMemory = nullptr;
int MaskMemoryPitch = 0;
int MaskScreenUseFlag = 0;
int MaskScreenEffectiveFlag = 0;
int MaskTextureWidth = 0;
int MaskTextureHeight = 0;
MaskScreenBuffers MaskScreen{};

namespace {

int PowerOfTwoNotBelow(int value) {
    int power = 1;
    while (power < value) power <<= 1;
    return power;
}

void CreateDeviceBuffers(int width, int height) {
    Direct3DDeviceState& state = Direct3DDevice;
    if (state.screenDrawTargetFormat == D3DFMT_UNKNOWN)
        FatalErrorExit("マスク描画用カラーバッファで使用できるテクスチャフォーマットがありませんでした");
    if (state.screenAlphaTestFormat == D3DFMT_UNKNOWN)
        FatalErrorExit("マスク描画用アルファチャンネルバッファで使用できるテクスチャフォーマットがありませんでした");
    MaskTextureWidth = PowerOfTwoNotBelow(width);
    MaskTextureHeight = PowerOfTwoNotBelow(height);

    if (MaskScreen.maskImageTexture == nullptr &&
        FAILED(state.device->CreateTexture(static_cast<UINT>(MaskTextureWidth), static_cast<UINT>(MaskTextureHeight),
                                           1, 0, state.screenAlphaTestFormat, D3DPOOL_MANAGED,
                                           &MaskScreen.maskImageTexture, nullptr)))
        FatalErrorExit("マスク用イメージテクスチャの作成に失敗しました");
    // The mask texture starts clear every time the buffers are made.
    if (const LockedTextureLevel locked(MaskScreen.maskImageTexture, 0, nullptr, 0); locked.held()) {
        const PixelFormat* format = GetPresetPixelFormat(static_cast<uint32_t>(state.screenAlphaTestFormat));
        const size_t rowBytes = static_cast<size_t>(format != nullptr ? format->bytesPerPixel : 4) * width;
        for (int y = 0; y < height; ++y)
            std::memset(static_cast<uint8_t*>(locked.bits()) + static_cast<size_t>(y) * locked.pitch(), 0, rowBytes);
    }

    if (MaskScreen.screenTexture == nullptr &&
        FAILED(state.device->CreateTexture(static_cast<UINT>(MaskTextureWidth), static_cast<UINT>(MaskTextureHeight),
                                           1, D3DUSAGE_RENDERTARGET, state.screenFormat, D3DPOOL_DEFAULT,
                                           &MaskScreen.screenTexture, nullptr)))
        FatalErrorExit("マスク用スクリーンテクスチャの作成に失敗しました");
    if (MaskScreen.screenSurface == nullptr) MaskScreen.screenTexture->GetSurfaceLevel(0, &MaskScreen.screenSurface);
}

void CreateSoftwareBuffer(int width, int height) {
    if (IsMemImgValid(&MaskScreen.memImg)) return;
    if (NewMemImg(&MaskScreen.memImg, width, height, PrimaryScreenMemImg.base->colorType) != 0)
        FatalErrorExit("マスク用 MEMIMG の作成に失敗しました");
    MaskScreen.memImgMade = 1;
}

}  // namespace

int CreateMaskScreenBuffers(int create) {
    if (!create) return 0;
    int width = 0, height = 0;
    GetMainScreenSize(&width, &height);
    if (MaskMemory == nullptr) {
        MaskMemoryPitch = (width + 3) / 4 * 4;
        const size_t bytes = static_cast<size_t>(MaskMemoryPitch) * static_cast<size_t>(height);
        MaskMemory = static_cast<uint8_t*>(AllocMemory(bytes, __FILE__, __LINE__));
        if (MaskMemory == nullptr) FatalErrorExit("メモリの確保に失敗しました");
        std::memset(MaskMemory, 0, bytes);
    }
    if (HardwarePathFlag && Direct3DDevice.device != nullptr)
        CreateDeviceBuffers(width, height);
    else
        CreateSoftwareBuffer(width, height);
    MaskScreen.created = 1;
    return 0;
}

int ReleaseMaskScreenBuffers() {
    if (MaskMemory != nullptr) FreeMemory(MaskMemory);
    MaskMemory = nullptr;
    if (MaskScreen.memImgMade) FreeMemImg(&MaskScreen.memImg);
    MaskScreen.memImgMade = 0;
    ReleaseObject(MaskScreen.maskImageTexture);
    ReleaseObject(MaskScreen.screenSurface);
    ReleaseObject(MaskScreen.screenTexture);
    return 0;
}

int GetMaskScreenUse() { return MaskScreenUseFlag; }

int SetMaskScreenUse(int use) {
    if (MaskMemory == nullptr) return -1;
    MaskScreenUseFlag = use;
    MaskScreenEffectiveFlag = use && MaskScreen.created ? 1 : 0;
    const GraphicRecord* target = GetGraphicRecord(GetDrawTarget());
    if (HardwarePathFlag) {
        if (Direct3DDevice.device == nullptr) return 0;
        FlushVertexBatch();
        IDirect3DSurface9* surface = nullptr;
        if (MaskScreenEffectiveFlag && MaskScreen.screenSurface != nullptr)
            surface = MaskScreen.screenSurface;
        else if (target != nullptr && target->drawPieceCount > 0)
            surface = static_cast<IDirect3DSurface9*>(target->drawPieces[0].piece->surface);
        else
            surface = Direct3DDevice.subBackBuffer != nullptr ? Direct3DDevice.subBackBuffer
                                                              : Direct3DDevice.backBuffer;
        SetDeviceRenderTarget(surface);
    } else {
        if (MaskScreenEffectiveFlag)
            SoftwareDrawTarget = &MaskScreen.memImg;
        else
            SoftwareDrawTarget = target != nullptr ? const_cast<MEMIMG*>(&target->memImg) : &PrimaryScreenMemImg;
    }
    return 0;
}

int RestoreMaskScreen() {
    CreateMaskScreenBuffers(MaskScreen.created);
    if (MaskScreenUseFlag) SetMaskScreenUse(1);
    return 0;
}

int TerminateMaskScreen() {
    if (MaskScreenUseFlag) SetMaskScreenUse(0);
    ReleaseMaskScreenBuffers();
    MaskScreen.created = 0;
    MaskScreenEffectiveFlag = 0;
    return 0;
}

MEMIMG* GetMaskScreenMemImg() { return MaskScreen.memImgMade ? &MaskScreen.memImg : nullptr; }
