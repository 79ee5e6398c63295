// The device's Z buffer, sized to powers of two, the sub back buffer, a
// render target of the screen's size and format made on demand, and the
// vertex and index buffers of the model code, made with no shared handle.
#include "framework/base/log.h"
#include "framework/graphics/device/direct3d_device.h"
#include "framework/graphics/screen/screen_mode.h"

namespace {

int PowerOfTwoNotBelow(int size) {
    int power = 1;
    while (power < size) power <<= 1;
    return power;
}

}  // namespace

int CreateDepthBuffer() {
    Direct3DDeviceState& state = Direct3DDevice;
    if (state.device == nullptr) return -1;
    if (state.zBuffer != nullptr) {
        state.zBuffer->Release();
        state.zBuffer = nullptr;
    }
    WriteLogLine("Ｚバッファを作成します.... ");
    int width = 0, height = 0;
    GetMainScreenSize(&width, &height);
    state.zBufferWidth = PowerOfTwoNotBelow(width);
    state.zBufferHeight = PowerOfTwoNotBelow(height);
    if (state.device->CreateDepthStencilSurface(static_cast<UINT>(state.zBufferWidth),
                                                static_cast<UINT>(state.zBufferHeight), state.zFormat,
                                                D3DMULTISAMPLE_NONE, 0, TRUE, &state.zBuffer, nullptr) != D3D_OK) {
        state.zBuffer = nullptr;
        WriteLogLine("Ｚバッファの作成に失敗しました\n");
        return -1;
    }
    state.device->SetDepthStencilSurface(state.zBuffer);
    state.device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    WriteLogLine("成功\n");
    return 0;
}

int CreateSubBackBuffer() {
    Direct3DDeviceState& state = Direct3DDevice;
    if (state.device == nullptr) return -1;
    if (state.subBackBuffer != nullptr) {
        state.subBackBuffer->Release();
        state.subBackBuffer = nullptr;
    }
    int width = 0, height = 0;
    GetMainScreenSize(&width, &height);
    if (state.device->CreateRenderTarget(static_cast<UINT>(width), static_cast<UINT>(height), state.screenFormat,
                                         D3DMULTISAMPLE_NONE, 0, FALSE, &state.subBackBuffer, nullptr) != D3D_OK) {
        state.subBackBuffer = nullptr;
        WriteLogLine("サブバックバッファの作成に失敗しました\n");
        return -1;
    }
    return 0;
}

IDirect3DVertexBuffer9* CreateDeviceVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool) {
    if (Direct3DDevice.device == nullptr) return nullptr;
    IDirect3DVertexBuffer9* buffer = nullptr;
    if (FAILED(Direct3DDevice.device->CreateVertexBuffer(length, usage, fvf, pool, &buffer, nullptr))) return nullptr;
    return buffer;
}

IDirect3DIndexBuffer9* CreateDeviceIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool) {
    if (Direct3DDevice.device == nullptr) return nullptr;
    IDirect3DIndexBuffer9* buffer = nullptr;
    if (FAILED(Direct3DDevice.device->CreateIndexBuffer(length, usage, format, pool, &buffer, nullptr))) return nullptr;
    return buffer;
}
