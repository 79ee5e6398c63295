// The fixed states every new device gets, and the re-sending of every cached
// value to a device made anew.
#include "framework/graphics/draws/blend_states.h"
#include "framework/graphics/device/device_state_setters.h"
#include "framework/graphics/draws/vertex_batch.h"

namespace {

// The coordinate sets of stages 0 to 3: the graphic's, the blend graphic's
// twice, then the graphic's again.
constexpr DWORD kFixedTexCoordIndexes[4] = {0, 1, 1, 0};

}  // namespace

int InitDeviceFixedStates() {
    IDirect3DDevice9* device = Direct3DDevice.device;
    if (device == nullptr) return 0;
    FlushVertexBatch();
    DeviceStateCache& cache = DeviceStates;
    for (int sampler = 0; sampler < 4; ++sampler) {
        device->SetSamplerState(static_cast<DWORD>(sampler), D3DSAMP_ADDRESSU, static_cast<DWORD>(cache.addressU[sampler]));
        device->SetSamplerState(static_cast<DWORD>(sampler), D3DSAMP_ADDRESSV, static_cast<DWORD>(cache.addressV[sampler]));
    }
    for (int stage = 0; stage < 4; ++stage) {
        device->SetTextureStageState(static_cast<DWORD>(stage), D3DTSS_TEXCOORDINDEX, kFixedTexCoordIndexes[stage]);
        cache.texCoordIndex[stage] = kFixedTexCoordIndexes[stage];
    }
    device->SetRenderState(D3DRS_SHADEMODE, static_cast<DWORD>(cache.shadeMode));
    device->SetRenderState(D3DRS_LIGHTING, static_cast<DWORD>(cache.lightingEnable));
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_DITHERENABLE, FALSE);
    SetVertexShaderConstants(0, kVertexRegisterZero, 1);
    SetPixelShaderConstants(0, kPixelRegisterZero, 1);
    if (cache.vertexShader != nullptr) {
        device->SetVertexShader(nullptr);
        cache.vertexShader = nullptr;
    }
    if (cache.pixelShader != nullptr) {
        device->SetPixelShader(nullptr);
        cache.pixelShader = nullptr;
    }
    cache.vertexDeclaration = nullptr;
    cache.fvf = 0;
    return 0;
}

int ReapplyDeviceStates() {
    if (Direct3DDevice.device == nullptr) return 0;
    DeviceStateCache& cache = DeviceStates;
    cache.forceSet = 1;
    // Copies: each setter stores into the cache it is handed.
    const D3DVIEWPORT9 viewport = cache.viewport;
    const RECT scissor = cache.scissor;
    SetDeviceViewport(&viewport);
    SetDeviceScissorRect(&scissor);
    InitDeviceFixedStates();
    SetDeviceSamplerFilter(cache.filterMode);
    ApplyDrawBlendStates(nullptr, 1, 0);
    SetDeviceZEnable(cache.zEnable);
    SetDeviceZWriteEnable(cache.zWriteEnable);
    SetDeviceZFunc(cache.zFunc);
    SetDeviceDepthBias(cache.depthBias);
    SetDeviceCullMode(cache.cullMode);
    SendCachedShadeMode();
    cache.forceSet = 0;
    return 0;
}
