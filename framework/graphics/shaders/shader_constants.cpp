// Shader constants reach the device only while programmable shaders are on:
// no draw of the fixed-function pipeline reads them.
#include "framework/graphics/device/device_state_cache.h"
#include "framework/graphics/shaders/shader_pack.h"

int SetVertexShaderConstants(int firstRegister, const float* data, int count) {
    IDirect3DDevice9* device = Direct3DDevice.device;
    if (device == nullptr || !ProgrammableShadersOn || firstRegister < 0 || count <= 0) return 0;
    device->SetVertexShaderConstantF(static_cast<UINT>(firstRegister), data, static_cast<UINT>(count));
    return 0;
}

int SetPixelShaderConstants(int firstRegister, const float* data, int count) {
    IDirect3DDevice9* device = Direct3DDevice.device;
    if (device == nullptr || !ProgrammableShadersOn || firstRegister < 0 || count <= 0) return 0;
    device->SetPixelShaderConstantF(static_cast<UINT>(firstRegister), data, static_cast<UINT>(count));
    return 0;
}
