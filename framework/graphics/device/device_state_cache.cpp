// The cache itself, the common road of a cached render state, and the
// clearing of the device objects a new device does not have.
#include <cstring>

#include "framework/graphics/device/device_state_setters.h"
#include "framework/graphics/draws/vertex_batch.h"

DeviceStateCache DeviceStates = {};

int SendCachedRenderState(int& cached, int value, D3DRENDERSTATETYPE state, DWORD deviceValue, int noDevice,
                          bool reportFailure) {
    IDirect3DDevice9* device = Direct3DDevice.device;
    if (device == nullptr) return noDevice;
    if (value == cached && !DeviceStates.forceSet) return 0;
    FlushVertexBatch();
    const HRESULT result = device->SetRenderState(state, deviceValue);
    cached = value;
    return reportFailure && result != D3D_OK ? -1 : 0;
}

void ForgetDeviceObjects() {
    DeviceStateCache& cache = DeviceStates;
    cache.vertexShader = nullptr;
    cache.pixelShader = nullptr;
    cache.vertexDeclaration = nullptr;
    cache.fvf = 0;
    cache.renderTarget = nullptr;
    cache.texture = nullptr;
    cache.blendTexture = nullptr;
    for (IDirect3DBaseTexture9*& texture : cache.stageTexture) texture = nullptr;
}

void ForgetDeviceShaders() {
    DeviceStates.vertexShader = nullptr;
    DeviceStates.pixelShader = nullptr;
    DeviceStates.vertexDeclaration = nullptr;
}

DWORD FloatBits(float value) {
    DWORD bits;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits;
}

D3DMATRIX ToDeviceMatrix(const MATRIX& matrix) {
    D3DMATRIX converted;
    std::memcpy(converted.m, matrix.m, sizeof(converted.m));
    return converted;
}
