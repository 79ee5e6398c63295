// The device layer's state, which every hardware part of the framework reads;
// the DirectDraw object, kept on both paths for the vertical-blank wait, and
// the Direct3D object, looked up by name in the loaded "d3d9.dll".
#include "framework/base/log.h"
#include "framework/graphics/device/direct3d_device.h"
#include "framework/graphics/device/graphics_device.h"
#include "framework/window/main_window_state.h"
#include "platform/platform.h"

Direct3DDeviceState Direct3DDevice = {};
int HardwarePathFlag = 0;
int FpuPreserveSetting = 0;

int IsDirect3DPathInUse() { return HardwarePathFlag != 0 && Direct3DDevice.device != nullptr ? 1 : 0; }

IDirectDraw7* GetDirectDrawObject() { return Direct3DDevice.directDraw; }

int CreateDirectDrawObject() {
    Direct3DDeviceState& state = Direct3DDevice;
    if (state.directDraw != nullptr) {
        state.directDraw->Release();
        state.directDraw = nullptr;
    }
    WriteLogLine("DirectDraw オブジェクトの取得を行います....  ");
    void* object = nullptr;
    if (FAILED(CoCreateInstance(CLSID_DirectDraw7, nullptr, CLSCTX_ALL, IID_IDirectDraw7, &object)) ||
        object == nullptr) {
        WriteLogLine("オブジェクトの取得に失敗しました\n");
        return -1;
    }
    state.directDraw = static_cast<IDirectDraw7*>(object);
    WriteLogLine("成功\n");
    WriteLogLine("引き続き初期化処理... ");
    if (state.directDraw->Initialize(nullptr) != DD_OK) {
        WriteLogLine("DirectDrawオブジェクトの初期化に失敗しました\n");
        state.directDraw->Release();
        state.directDraw = nullptr;
        return -1;
    }
    WriteLogLine("初期化に成功しました\n");
    const DWORD level = DDSCL_NORMAL | (FpuPreserveSetting > 0 ? DDSCL_FPUPRESERVE : 0u);
    state.directDraw->SetCooperativeLevel(GetMainWindowHandle(), level);
    return 0;
}

int CreateDirect3D9Object() {
    Direct3DDeviceState& state = Direct3DDevice;
    if (state.direct3d != nullptr) {
        state.direct3d->Release();
        state.direct3d = nullptr;
    }
    WriteLogLine("IDirect3D9 オブジェクトを取得します.... ");
    const auto create = reinterpret_cast<LPDIRECT3DCREATE9>(
        reinterpret_cast<void*>(GetProcAddress(state.d3d9Module, "Direct3DCreate9")));
    if (create == nullptr) {
        WriteLogLine("Direct3DCreate9 APIのアドレス取得に失敗しました\n");
        return -1;
    }
    state.direct3d = create(D3D_SDK_VERSION);
    if (state.direct3d == nullptr) {
        WriteLogLine("IDirect3D9 オブジェクトの取得に失敗しました\n");
        return -1;
    }
    WriteLogLine("成功\n");
    return 0;
}
