// The cached fog states, and the fog constants that programmable shaders
// read: register 10 holds end / (end - start), -1 / (end - start), the
// density and e.
#include "framework/graphics/device/device_state_setters.h"
#include "framework/graphics/shaders/shader_pack.h"
#include "framework/graphics/draws/vertex_batch.h"

namespace {

void SendFogConstants() {
    const DeviceStateCache& cache = DeviceStates;
    const float range = cache.fogEnd - cache.fogStart;
    const float constants[4] = {cache.fogEnd / range, -1.0f / range, cache.fogDensity, 2.7182817f};
    SetVertexShaderConstants(10, constants, 1);
}

}  // namespace

int SetDeviceFogEnable(int value) {
    return SendCachedRenderState(DeviceStates.fogEnable, value, D3DRS_FOGENABLE, static_cast<DWORD>(value), 0, true);
}

int SetDeviceFogMode(int mode) {
    IDirect3DDevice9* device = Direct3DDevice.device;
    if (device == nullptr) return 0;
    if (mode == DeviceStates.fogMode && !DeviceStates.forceSet) return 0;
    FlushVertexBatch();
    if (ProgrammableShadersOn) {
        // Linear, exponential, squared exponential, any.
        const BOOL kinds[4] = {mode == D3DFOG_LINEAR, mode == D3DFOG_EXP, mode == D3DFOG_EXP2, mode != D3DFOG_NONE};
        device->SetVertexShaderConstantB(0, kinds, 4);
    }
    const HRESULT result = device->SetRenderState(D3DRS_FOGVERTEXMODE, static_cast<DWORD>(mode));
    DeviceStates.fogMode = mode;
    return result == D3D_OK ? 0 : -1;
}

int SetDeviceFogColor(DWORD color) {
    IDirect3DDevice9* device = Direct3DDevice.device;
    if (device == nullptr) return 0;
    if (color == DeviceStates.fogColor && !DeviceStates.forceSet) return 0;
    FlushVertexBatch();
    const HRESULT result = device->SetRenderState(D3DRS_FOGCOLOR, color);
    DeviceStates.fogColor = color;
    return result == D3D_OK ? 0 : -1;
}

int SetDeviceFogStartEnd(float start, float end) {
    IDirect3DDevice9* device = Direct3DDevice.device;
    if (device == nullptr) return 0;
    FlushVertexBatch();
    DeviceStateCache& cache = DeviceStates;
    bool changed = false;
    if (start != cache.fogStart || cache.forceSet) {
        device->SetRenderState(D3DRS_FOGSTART, FloatBits(start));
        cache.fogStart = start;
        changed = true;
    }
    if (end != cache.fogEnd || cache.forceSet) {
        device->SetRenderState(D3DRS_FOGEND, FloatBits(end));
        cache.fogEnd = end;
        changed = true;
    }
    if (changed) SendFogConstants();
    return 0;
}

int SetDeviceFogDensity(float density) {
    IDirect3DDevice9* device = Direct3DDevice.device;
    if (device == nullptr) return 0;
    if (density == DeviceStates.fogDensity && !DeviceStates.forceSet) return 0;
    FlushVertexBatch();
    DeviceStates.fogDensity = density;
    SendFogConstants();
    return device->SetRenderState(D3DRS_FOGDENSITY, FloatBits(density)) == D3D_OK ? 0 : -1;
}
