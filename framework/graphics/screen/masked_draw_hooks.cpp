// The hooks around every draw while masking is in effect. Before the draw the
// target's pixels under the draw's rectangle go into the mask screen, so the
// draw blends onto what the target shows; after it the rectangle goes back
// onto the target, only where the mask lets it: on the hardware path as one
// quad whose alpha test reads the mask, on the software path byte by byte.
#include <cstring>

#include "framework/graphics/device/device_state_cache.h"
#include "framework/graphics/device/direct3d_device.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/screen/draw_target.h"
#include "framework/graphics/handles/graphic_handles.h"
#include "framework/graphics/handles/graphic_image.h"
#include "framework/graphics/graphics_system.h"
#include "framework/graphics/image/pixel_format.h"
#include "framework/graphics/screen/mask_screen.h"
#include "framework/graphics/screen/mask_screen_state.h"
#include "framework/graphics/models/matrix_math.h"
#include "framework/graphics/draws/vertex_batch.h"
#include "framework/softrender/memimg.h"

namespace {

constexpr DWORD kMaskQuadFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

struct MaskQuadVertex {
    float x, y, z, rhw;
    DWORD diffuse;
    float u, v;
};
static_assert(sizeof(MaskQuadVertex) == 28);

const GraphicRecord* TargetGraphic() { return GetGraphicRecord(GetDrawTarget()); }

RECT ClippedToDrawArea(RECT rect) {
    ClipRectTo(&rect, &CurrentDrawSettings.drawArea);
    return rect;
}

bool HardwareMasking() {
    return HardwarePathFlag && Direct3DDevice.device != nullptr && MaskScreen.screenSurface != nullptr;
}

IDirect3DSurface9* RealTargetSurface(const GraphicRecord* target) {
    if (target != nullptr && target->image != nullptr && target->image->pieceCount > 0)
        return static_cast<IDirect3DSurface9*>(target->image->pieces[0].surface);
    return Direct3DDevice.subBackBuffer != nullptr ? Direct3DDevice.subBackBuffer : Direct3DDevice.backBuffer;
}

MEMIMG* RealTargetMemImg(const GraphicRecord* target) {
    return target != nullptr ? const_cast<MEMIMG*>(&target->memImg) : &PrimaryScreenMemImg;
}

// Makes the surface the render target with the viewport over the draw area,
// every state sent again.
void TargetWithDrawAreaViewport(IDirect3DSurface9* surface) {
    DeviceStateCache& cache = DeviceStates;
    const int forceSet = cache.forceSet;
    cache.forceSet = 1;
    SetDeviceRenderTarget(surface);
    const RECT& area = CurrentDrawSettings.drawArea;
    MakeViewportFromRect(area.left, area.top, area.right, area.bottom);
    cache.forceSet = forceSet;
}

DrawBlendStateBlock MaskQuadStates() {
    DrawBlendStateBlock block{};
    block.alphaTestEnable = 1;
    block.alphaRef = 0;
    block.alphaFunc = MaskReverseFlag ? D3DCMP_NOTEQUAL : D3DCMP_EQUAL;
    block.alphaBlendEnable = 0;
    block.srcBlend = kBlendStateKept;
    block.destBlend = kBlendStateKept;
    block.blendOp = kBlendStateKept;
    block.stageCount = 2;
    block.stages[0] = DrawBlendStage{reinterpret_cast<uintptr_t>(MaskScreen.screenTexture), 0, D3DTA_DIFFUSE,
                                     kBlendStateKept, D3DTOP_SELECTARG1, D3DTA_TEXTURE, kBlendStateKept,
                                     D3DTOP_SELECTARG1};
    block.stages[1] = DrawBlendStage{reinterpret_cast<uintptr_t>(MaskScreen.maskImageTexture), 0, D3DTA_TEXTURE,
                                     kBlendStateKept, D3DTOP_SELECTARG1, D3DTA_CURRENT, kBlendStateKept,
                                     D3DTOP_SELECTARG1};
    block.stages[2] = DrawBlendStage{0, kBlendStateKept, kBlendStateKept, kBlendStateKept, D3DTOP_DISABLE,
                                     kBlendStateKept, kBlendStateKept, D3DTOP_DISABLE};
    return block;
}

void EndOnDevice(const RECT& rect) {
    IDirect3DDevice9* device = Direct3DDevice.device;
    FlushVertexBatch();
    TargetWithDrawAreaViewport(MaskScreen.savedTarget);
    const DrawBlendStateBlock block = MaskQuadStates();
    SetDeviceUserStateBlock(&block, 0);

    const float width = static_cast<float>(MaskTextureWidth);
    const float height = static_cast<float>(MaskTextureHeight);
    const auto corner = [&](LONG x, LONG y) {
        return MaskQuadVertex{static_cast<float>(x) - 0.5f, static_cast<float>(y) - 0.5f, 0.0f, 1.0f, 0xFFFFFFFFu,
                              static_cast<float>(x) / width, static_cast<float>(y) / height};
    };
    const MaskQuadVertex quad[4] = {corner(rect.left, rect.top), corner(rect.right, rect.top),
                                    corner(rect.left, rect.bottom), corner(rect.right, rect.bottom)};
    BeginDeviceScene();
    device->SetFVF(kMaskQuadFvf);
    DeviceStates.fvf = kMaskQuadFvf;
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(MaskQuadVertex));
    EndDeviceScene();
    BeginDeviceScene();

    SetDeviceUserStateBlock(nullptr, 0);
    DeviceStates.statesDirty = 1;
    DeviceStates.textureDirty = 1;
    TargetWithDrawAreaViewport(MaskScreen.screenSurface);
}

// Copies the mask screen's pixels onto the target where the mask lets them.
void EndInMemory(const RECT& rect, MEMIMG* target) {
    const int bytes = target->base->format->bytesPerPixel;
    if (bytes != 2 && bytes != 4) return;
    const MEMIMG& source = MaskScreen.memImg;
    const bool passWhereSet = MaskReverseFlag != 0;
    for (LONG y = rect.top; y < rect.bottom; ++y) {
        const uint8_t* mask = MaskMemory + static_cast<ptrdiff_t>(y) * MaskMemoryPitch;
        const uint8_t* from = source.pixels + static_cast<ptrdiff_t>(y) * source.base->pitch;
        uint8_t* to = target->pixels + static_cast<ptrdiff_t>(y) * target->base->pitch;
        for (LONG x = rect.left; x < rect.right; ++x)
            if ((mask[x] != 0) == passWhereSet) std::memcpy(to + x * bytes, from + x * bytes, static_cast<size_t>(bytes));
    }
}

}  // namespace

int BeginMaskedDraw(RECT rect) {
    const GraphicRecord* target = TargetGraphic();
    rect = ClippedToDrawArea(rect);
    if (!MaskScreenEffectiveFlag) return 0;
    if (HardwarePathFlag) {
        if (!HardwareMasking()) return 0;
        FlushVertexBatch();
        EndDeviceScene();
        MaskScreen.savedTarget = RealTargetSurface(target);
        Direct3DDevice.device->StretchRect(MaskScreen.savedTarget, &rect, MaskScreen.screenSurface, &rect,
                                           D3DTEXF_NONE);
    } else if (MaskScreen.memImgMade) {
        CopyMemImgRect(&MaskScreen.memImg, RealTargetMemImg(target), &rect, rect.left, rect.top);
    }
    return 0;
}

int EndMaskedDraw(RECT rect) {
    const GraphicRecord* target = TargetGraphic();
    rect = ClippedToDrawArea(rect);
    if (rect.right == rect.left || rect.bottom == rect.top) return 0;
    if (!MaskScreenEffectiveFlag) return 0;
    if (HardwarePathFlag) {
        if (HardwareMasking() && MaskScreen.savedTarget != nullptr) EndOnDevice(rect);
    } else if (MaskScreen.memImgMade && MaskMemory != nullptr) {
        EndInMemory(rect, RealTargetMemImg(target));
    }
    return 0;
}
