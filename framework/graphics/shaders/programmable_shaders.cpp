// Whether programmable shaders are on: the device must offer vertex and
// pixel shader model 2.0, the pack must load, and the device must take one
// vertex and one pixel shader of it. Shader constants reach the device only
// while they are on: no draw of the fixed-function pipeline reads them.
#include "framework/base/log.h"
#include "framework/graphics/device/device_state_cache.h"
#include "framework/graphics/device/direct3d_device.h"
#include "framework/graphics/device/device_state_setters.h"
#include "framework/graphics/shaders/shader_pack.h"

int ProgrammableShadersOn = 0;

int ReleaseShaderPackShaders() {
    if (IDirect3DDevice9* device = Direct3DDevice.device) {
        device->SetVertexShader(nullptr);
        device->SetPixelShader(nullptr);
        ForgetDeviceShaders();
    }
    ShaderPackState& pack = ShaderPack;
    for (auto& record : pack.vertexShaders) {
        for (IDirect3DVertexShader9*& shader : record) {
            if (shader == nullptr) continue;
            shader->Release();
            shader = nullptr;
        }
    }
    for (auto& record : pack.pixelShaders) {
        for (IDirect3DPixelShader9*& shader : record) {
            if (shader == nullptr) continue;
            shader->Release();
            shader = nullptr;
        }
    }
    return 0;
}

namespace {

// True when the device took both test shaders.
bool MakeTestShaders(IDirect3DDevice9* device) {
    ShaderPackState& pack = ShaderPack;
    const DWORD* vertexCode = pack.vertexCode[kTestVertexShaderRecord][kTestVertexShaderEntry];
    const DWORD* pixelCode = pack.pixelCode[kTestPixelShaderRecord][kTestPixelShaderEntry];
    IDirect3DVertexShader9*& vertexShader = pack.vertexShaders[kTestVertexShaderRecord][kTestVertexShaderEntry];
    IDirect3DPixelShader9*& pixelShader = pack.pixelShaders[kTestPixelShaderRecord][kTestPixelShaderEntry];
    bool made = true;
    if (vertexCode == nullptr || device->CreateVertexShader(vertexCode, &vertexShader) != D3D_OK) {
        vertexShader = nullptr;
        made = false;
    }
    if (pixelCode == nullptr || device->CreatePixelShader(pixelCode, &pixelShader) != D3D_OK) {
        pixelShader = nullptr;
        made = false;
    }
    return made;
}

}  // namespace

int SetupProgrammableShaders() {
    ReleaseShaderPackShaders();
    ProgrammableShadersOn = 0;
    const char* message = "プログラマブルシェーダーを使用しません\n";
    const Direct3DDeviceState& state = Direct3DDevice;
    if (state.device != nullptr && state.vertexShadersUsable && state.pixelShadersUsable) {
        ProgrammableShadersOn = 1;
        if (ShaderPack.pack == nullptr && !LoadShaderPack()) {
            WriteLogLine("シェーダーコードを展開するメモリ領域の確保に失敗しました\n");
            ProgrammableShadersOn = 0;
        }
        if (ShaderPack.pack != nullptr) {
            if (!MakeTestShaders(state.device)) ProgrammableShadersOn = 0;
            if (ProgrammableShadersOn) message = "プログラマブルシェーダーを使用します\n";
        }
    }
    WriteLogLine(message);
    if (ProgrammableShadersOn) {
        SetVertexShaderConstants(0, kVertexRegisterZero, 1);
        SetPixelShaderConstants(0, kPixelRegisterZero, 1);
    }
    return 0;
}

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
