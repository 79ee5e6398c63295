// Creating the device: the presentation parameters for the window or the
// full screen, a first attempt with mixed (hardware) vertex processing where
// the adapter has shader model 2.0 and a second one in software, the screen
// cleared to the background colour, the capabilities read and the formats
// chosen.
#include "framework/base/log.h"
#include "framework/graphics/device/device_formats.h"
#include "framework/graphics/device/device_state_cache.h"
#include "framework/graphics/device/direct3d_device.h"
#include "framework/graphics/screen/screen_flip.h"
#include "framework/graphics/screen/screen_mode.h"
#include "framework/window/main_window_state.h"

namespace {

constexpr DWORD kShaderModel2 = 0x200;

bool AtLeastShaderModel2(DWORD version) { return (version & 0xFFFFu) >= kShaderModel2; }

// The old device goes with everything that was its own, so that nothing
// keeps it (and in full screen its display mode) alive behind the new one.
void ReleaseOldDevice(Direct3DDeviceState& state) {
    ReleaseObject(state.zBuffer);
    ReleaseObject(state.subBackBuffer);
    ReleaseObject(state.backBuffer);
    ReleaseObject(state.swapChain);
    ReleaseObject(state.device);
    state.inScene = 0;
}

// False for a full-screen colour depth the device cannot show.
bool MakePresentParameters(const Direct3DDeviceState& state, D3DPRESENT_PARAMETERS& parameters) {
    int width = 0, height = 0;
    GetMainScreenSize(&width, &height);
    parameters = D3DPRESENT_PARAMETERS{};
    parameters.BackBufferWidth = static_cast<UINT>(width);
    parameters.BackBufferHeight = static_cast<UINT>(height);
    parameters.BackBufferCount = 1;
    parameters.MultiSampleType = D3DMULTISAMPLE_NONE;
    parameters.MultiSampleQuality = 0;
    parameters.SwapEffect = D3DSWAPEFFECT_COPY;
    parameters.hDeviceWindow = GetMainWindowHandle();
    parameters.EnableAutoDepthStencil = FALSE;
    parameters.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
    parameters.PresentationInterval = GetWaitVSyncFlag() ? D3DPRESENT_INTERVAL_ONE : D3DPRESENT_INTERVAL_IMMEDIATE;
    if (IsWindowModeOn()) {
        // A window shows the desktop's format, and the screen takes its depth.
        parameters.Windowed = TRUE;
        D3DDISPLAYMODE desktop{};
        state.direct3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &desktop);
        parameters.BackBufferFormat = desktop.Format;
        switch (desktop.Format) {
            case D3DFMT_X8R8G8B8: RequestedScreenMode.colorBits = 32; break;
            case D3DFMT_R5G6B5:
            case D3DFMT_X1R5G5B5:
            case D3DFMT_A1R5G5B5: RequestedScreenMode.colorBits = 16; break;
            default: break;
        }
        return true;
    }
    parameters.Windowed = FALSE;
    parameters.FullScreen_RefreshRateInHz = static_cast<UINT>(RequestedScreenMode.refreshRate);
    switch (GetScreenColorBitDepth()) {
        case 16:
            parameters.BackBufferFormat =
                state.direct3d->GetAdapterModeCount(D3DADAPTER_DEFAULT, D3DFMT_R5G6B5) > 0 ? D3DFMT_R5G6B5
                                                                                          : D3DFMT_X1R5G5B5;
            return true;
        case 32: parameters.BackBufferFormat = D3DFMT_X8R8G8B8; return true;
        default: WriteLogLine("非対応のバックバッファービット深度が指定されました\n"); return false;
    }
}

HRESULT CreateDevice(Direct3DDeviceState& state, DWORD vertexProcessing, const D3DPRESENT_PARAMETERS& parameters) {
    D3DPRESENT_PARAMETERS given = parameters;
    const DWORD behavior = vertexProcessing | (FpuPreserveSetting != 0 ? D3DCREATE_FPU_PRESERVE : 0u);
    return state.direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, GetMainWindowHandle(), behavior, &given,
                                        &state.device);
}

// Four clears with a present after each of the first three, so that the
// screen starts in the background colour whichever buffer shows.
void ClearToBackground(IDirect3DDevice9* device) {
    const MainWindowSettings& settings = MainWindow.settings;
    const D3DCOLOR background = (static_cast<DWORD>(settings.backgroundRed) & 0xFF) << 16 |
                                (static_cast<DWORD>(settings.backgroundGreen) & 0xFF) << 8 |
                                (static_cast<DWORD>(settings.backgroundBlue) & 0xFF);
    for (int clear = 0; clear < 4; ++clear) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET, background, 1.0f, 0);
        if (clear < 3) device->Present(nullptr, nullptr, GetMainWindowHandle(), nullptr);
    }
}

void ReadCapabilities(Direct3DDeviceState& state) {
    state.device->GetDeviceCaps(&state.caps);
    state.vertexShadersUsable = state.shader2Capable && AtLeastShaderModel2(state.caps.VertexShaderVersion) ? 1 : 0;
    state.pixelShadersUsable = state.shader2Capable && AtLeastShaderModel2(state.caps.PixelShaderVersion) ? 1 : 0;
    state.blendOperationCapable = (state.caps.PrimitiveMiscCaps & D3DPMISCCAPS_BLENDOP) != 0 ? 1 : 0;
    const int width = state.caps.MaxTextureWidth != 0 ? static_cast<int>(state.caps.MaxTextureWidth) : 256;
    const int height = state.caps.MaxTextureHeight != 0 ? static_cast<int>(state.caps.MaxTextureHeight) : 256;
    state.maxTextureSize = width < height ? width : height;
}

void LogAdapter(const Direct3DDeviceState& state) {
    D3DADAPTER_IDENTIFIER9 identifier{};
    state.direct3d->GetAdapterIdentifier(D3DADAPTER_DEFAULT, 0, &identifier);
    identifier.Driver[sizeof(identifier.Driver) - 1] = '\0';
    identifier.Description[sizeof(identifier.Description) - 1] = '\0';
    WriteLogFormat("Driver:%s  Description:%s", identifier.Driver, identifier.Description);
}

}  // namespace

int CreateDirect3D9Device() {
    Direct3DDeviceState& state = Direct3DDevice;
    if (state.direct3d == nullptr) return -1;
    ReleaseOldDevice(state);
    WriteLogLine("IDirect3DDevice9 オブジェクトを取得します.... ");

    D3DPRESENT_PARAMETERS parameters;
    if (!MakePresentParameters(state, parameters)) return -1;

    D3DCAPS9 adapterCaps{};
    state.direct3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &adapterCaps);
    state.shader2Capable = AtLeastShaderModel2(adapterCaps.VertexShaderVersion) &&
                                   AtLeastShaderModel2(adapterCaps.PixelShaderVersion)
                               ? 1
                               : 0;
    const DWORD firstProcessing =
        state.shader2Capable ? D3DCREATE_MIXED_VERTEXPROCESSING : D3DCREATE_SOFTWARE_VERTEXPROCESSING;
    if (CreateDevice(state, firstProcessing, parameters) == D3D_OK) {
        WriteLogLine("ハードウエア頂点演算を使用します\n");
    } else {
        state.shader2Capable = 0;
        if (CreateDevice(state, D3DCREATE_SOFTWARE_VERTEXPROCESSING, parameters) != D3D_OK) {
            state.device = nullptr;
            WriteLogLine("Direct3DDevice9 の作成に失敗しました\n");
            return -1;
        }
        WriteLogLine("ソフトウエア頂点演算を使用します\n");
    }

    ForgetDeviceObjects();
    state.device->SetRenderState(D3DRS_ZENABLE, TRUE);
    ClearToBackground(state.device);

    state.device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &state.backBuffer);
    state.device->GetSwapChain(0, &state.swapChain);
    WriteLogLine("成功\n");
    ReadCapabilities(state);
    DeviceStates.diffuseMaterialSource = 255;
    DeviceStates.specularMaterialSource = 255;

    LogAdapter(state);
    if (state.backBuffer == nullptr) return -1;
    return ChooseDeviceFormats();
}
