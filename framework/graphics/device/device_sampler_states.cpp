// The cached sampler states: the filter and anisotropy of the samplers in
// use, and the address modes of each sampler.
#include "framework/graphics/device/device_state_setters.h"
#include "framework/graphics/draws/vertex_batch.h"

namespace {

int SamplersInUse() {
    const int count = DeviceStates.samplersInUse;
    return count < 0 ? 0 : (count > kDeviceSamplerCount ? kDeviceSamplerCount : count);
}

void SendSamplerState(IDirect3DDevice9* device, int sampler, D3DSAMPLERSTATETYPE type, DWORD& cached, DWORD value) {
    if (cached == value && !DeviceStates.forceSet) return;
    device->SetSamplerState(static_cast<DWORD>(sampler), type, value);
    cached = value;
}

int SetAddressMode(int (&cached)[kDeviceSamplerCount], D3DSAMPLERSTATETYPE type, int sampler, int mode) {
    IDirect3DDevice9* device = Direct3DDevice.device;
    if (device == nullptr) return 0;
    if (sampler < -1 || sampler >= kDeviceSamplerCount) return -1;
    if (sampler >= 0) {
        if (cached[sampler] == mode && !DeviceStates.forceSet) return 0;
        FlushVertexBatch();
        const HRESULT result = device->SetSamplerState(static_cast<DWORD>(sampler), type, static_cast<DWORD>(mode));
        cached[sampler] = mode;
        return result == D3D_OK ? 0 : -1;
    }
    bool differs = DeviceStates.forceSet != 0;
    for (int each : cached) differs = differs || each != mode;
    if (!differs) return 0;
    FlushVertexBatch();
    for (int& each : cached) each = mode;
    HRESULT result = D3D_OK;
    for (int each = kDeviceSamplerCount - 1; each >= 0; --each)
        result = device->SetSamplerState(static_cast<DWORD>(each), type, static_cast<DWORD>(mode));
    return result == D3D_OK ? 0 : -1;
}

}  // namespace

int SetDeviceSamplerFilter(int mode) {
    IDirect3DDevice9* device = Direct3DDevice.device;
    if (device == nullptr) return -1;
    // Magnification, minification and mip filter of each mode.
    static constexpr DWORD kFilters[3][3] = {
        {D3DTEXF_POINT, D3DTEXF_POINT, D3DTEXF_NONE},
        {D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_NONE},
        {D3DTEXF_LINEAR, D3DTEXF_ANISOTROPIC, D3DTEXF_LINEAR},
    };
    if (mode < 0 || mode > 2) return -1;
    DeviceStateCache& cache = DeviceStates;
    if (mode == cache.filterMode && !cache.forceSet) return 0;
    FlushVertexBatch();
    for (int sampler = 0; sampler < SamplersInUse(); ++sampler) {
        SendSamplerState(device, sampler, D3DSAMP_MAGFILTER, cache.magFilter[sampler], kFilters[mode][0]);
        SendSamplerState(device, sampler, D3DSAMP_MINFILTER, cache.minFilter[sampler], kFilters[mode][1]);
        SendSamplerState(device, sampler, D3DSAMP_MIPFILTER, cache.mipFilter[sampler], kFilters[mode][2]);
    }
    cache.filterMode = mode;
    return 0;
}

int SetDeviceMaxAnisotropy(int value) {
    IDirect3DDevice9* device = Direct3DDevice.device;
    if (device == nullptr) return -1;
    if (value < 1) value = 1;
    DeviceStateCache& cache = DeviceStates;
    if (value == cache.maxAnisotropy && !cache.forceSet) return 0;
    FlushVertexBatch();
    for (int sampler = 0; sampler < SamplersInUse(); ++sampler) {
        if (cache.samplerMaxAnisotropy[sampler] == value) continue;
        device->SetSamplerState(static_cast<DWORD>(sampler), D3DSAMP_MAXANISOTROPY, static_cast<DWORD>(value));
        cache.samplerMaxAnisotropy[sampler] = value;
    }
    cache.maxAnisotropy = value;
    return 0;
}

int SetDeviceSamplerAddressU(int sampler, int mode) {
    return SetAddressMode(DeviceStates.addressU, D3DSAMP_ADDRESSU, sampler, mode);
}

int SetDeviceSamplerAddressV(int sampler, int mode) {
    return SetAddressMode(DeviceStates.addressV, D3DSAMP_ADDRESSV, sampler, mode);
}
