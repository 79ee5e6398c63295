// The adapter object: its display modes, identifier, format checks and
// caps, and the device it makes, with the presentation parameters checked
// and completed as Direct3D does. A full-screen device puts the display in
// its mode; a windowed one presents into its window at the desktop's format.
#include <cstdio>
#include <new>

#include "platform/d3d9/adapter.h"
#include "platform/d3d9/device.h"
#include "platform/d3d9/gl_capabilities.h"
#include "platform/d3d9/interface_ids.h"
#include "platform/profile/machine_profile.h"
#include "platform/user/user.h"

namespace platform::d3d9 {
namespace {

constexpr DWORD kVertexProcessing =
    D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_MIXED_VERTEXPROCESSING;
constexpr DWORD kBehaviorFlags = kVertexProcessing | D3DCREATE_FPU_PRESERVE | D3DCREATE_MULTITHREADED | D3DCREATE_PUREDEVICE;
// LOCKABLE_BACKBUFFER, and DISCARD_DEPTHSTENCIL, DEVICECLIP and VIDEO, which change nothing here.
constexpr DWORD kPresentFlags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER | 0x2u | 0x4u | 0x10u;
constexpr UINT kMostBackBuffers = 3;
constexpr DWORD kWhqlLevel = 0x2;  // D3DENUM_WHQL_LEVEL

// The adapter check every query starts with: one adapter, and only the
// hardware device type exists (the reference device is not installed).
HRESULT CheckAdapter(UINT adapter, D3DDEVTYPE type) {
    if (adapter != D3DADAPTER_DEFAULT) return D3DERR_INVALIDCALL;
    if (type == D3DDEVTYPE_REF) return D3DERR_NOTAVAILABLE;
    return type == D3DDEVTYPE_HAL ? D3D_OK : D3DERR_INVALIDCALL;
}

bool IsWindow(HWND window) {
    RECT client{};
    return window != nullptr && GetClientRect(window, &client);
}

bool BackBufferFormat(D3DFORMAT format) {
    return (IsDisplayFormat(format) || format == D3DFMT_A8R8G8B8) && IsRenderTargetFormat(format);
}

// The display mode a full-screen device asks for, or false when the display
// has none such.
bool FindFullScreenMode(const D3DPRESENT_PARAMETERS& parameters, D3DDISPLAYMODE& found) {
    const D3DFORMAT modeFormat =
        parameters.BackBufferFormat == D3DFMT_A8R8G8B8 ? D3DFMT_X8R8G8B8 : parameters.BackBufferFormat;
    for (const D3DDISPLAYMODE& mode : DisplayModesIn(modeFormat)) {
        if (mode.Width == parameters.BackBufferWidth && mode.Height == parameters.BackBufferHeight &&
            (parameters.FullScreen_RefreshRateInHz == 0 || mode.RefreshRate == parameters.FullScreen_RefreshRateInHz)) {
            found = mode;
            return true;
        }
    }
    return false;
}

// Checks the presentation parameters and fills in what they leave to the
// runtime; D3DERR_INVALIDCALL for what Direct3D refuses.
HRESULT CompleteParameters(D3DPRESENT_PARAMETERS& parameters, HWND focusWindow, HWND& deviceWindow,
                           D3DDISPLAYMODE& fullScreenMode) {
    deviceWindow = parameters.hDeviceWindow != nullptr ? parameters.hDeviceWindow : focusWindow;
    if (!IsWindow(deviceWindow) || (focusWindow != nullptr && !IsWindow(focusWindow))) return D3DERR_INVALIDCALL;
    if (parameters.BackBufferCount == 0) parameters.BackBufferCount = 1;
    if (parameters.BackBufferCount > kMostBackBuffers || parameters.MultiSampleType != D3DMULTISAMPLE_NONE ||
        parameters.MultiSampleQuality != 0 || parameters.SwapEffect < D3DSWAPEFFECT_DISCARD ||
        parameters.SwapEffect > D3DSWAPEFFECT_COPY ||
        (parameters.SwapEffect == D3DSWAPEFFECT_COPY && parameters.BackBufferCount != 1) ||
        (parameters.Flags & ~kPresentFlags) != 0)
        return D3DERR_INVALIDCALL;
    if (parameters.PresentationInterval != D3DPRESENT_INTERVAL_DEFAULT &&
        parameters.PresentationInterval != D3DPRESENT_INTERVAL_ONE &&
        parameters.PresentationInterval != D3DPRESENT_INTERVAL_IMMEDIATE)
        return D3DERR_INVALIDCALL;
    if (parameters.EnableAutoDepthStencil && !IsDepthStencilFormat(parameters.AutoDepthStencilFormat))
        return D3DERR_INVALIDCALL;
    if (parameters.Windowed) {
        if (parameters.FullScreen_RefreshRateInHz != 0) return D3DERR_INVALIDCALL;
        if (parameters.BackBufferFormat == D3DFMT_UNKNOWN) parameters.BackBufferFormat = CurrentDisplayMode().Format;
        if (!BackBufferFormat(parameters.BackBufferFormat)) return D3DERR_INVALIDCALL;
        RECT client{};
        GetClientRect(deviceWindow, &client);
        if (parameters.BackBufferWidth == 0) parameters.BackBufferWidth = client.right > 0 ? client.right : 1;
        if (parameters.BackBufferHeight == 0) parameters.BackBufferHeight = client.bottom > 0 ? client.bottom : 1;
    } else {
        // A full-screen device takes the keyboard and mouse of its focus window.
        if (focusWindow == nullptr || !BackBufferFormat(parameters.BackBufferFormat) ||
            !FindFullScreenMode(parameters, fullScreenMode))
            return D3DERR_INVALIDCALL;
    }
    if (parameters.BackBufferWidth > kMaxSurfaceSide || parameters.BackBufferHeight > kMaxSurfaceSide)
        return D3DERR_INVALIDCALL;
    return D3D_OK;
}

HRESULT CheckBehavior(DWORD behavior, const D3DCAPS9& caps) {
    const DWORD processing = behavior & kVertexProcessing;
    if ((behavior & ~kBehaviorFlags) != 0) return D3DERR_INVALIDCALL;
    if (processing != D3DCREATE_SOFTWARE_VERTEXPROCESSING && processing != D3DCREATE_HARDWARE_VERTEXPROCESSING &&
        processing != D3DCREATE_MIXED_VERTEXPROCESSING)
        return D3DERR_INVALIDCALL;
    const bool hardware = processing != D3DCREATE_SOFTWARE_VERTEXPROCESSING;
    if (hardware && (caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT) == 0) return D3DERR_INVALIDCALL;
    if ((behavior & D3DCREATE_PUREDEVICE) != 0 && processing != D3DCREATE_HARDWARE_VERTEXPROCESSING)
        return D3DERR_INVALIDCALL;
    return D3D_OK;
}

class Direct3D9 final : public com::Object<Direct3D9, IDirect3D9> {
public:
    HRESULT WINAPI GetAdapterIdentifier(UINT adapter, DWORD flags, D3DADAPTER_IDENTIFIER9* identifier) override {
        if (adapter != D3DADAPTER_DEFAULT || identifier == nullptr || (flags & ~kWhqlLevel) != 0)
            return D3DERR_INVALIDCALL;
        *identifier = D3DADAPTER_IDENTIFIER9{};
        std::snprintf(identifier->Driver, sizeof(identifier->Driver), "%s", Profile().direct3d.driver.c_str());
        std::snprintf(identifier->Description, sizeof(identifier->Description), "%s",
                      Profile().direct3d.description.c_str());
        return D3D_OK;
    }

    UINT WINAPI GetAdapterModeCount(UINT adapter, D3DFORMAT format) override {
        if (adapter != D3DADAPTER_DEFAULT) return 0;
        return static_cast<UINT>(DisplayModesIn(format).size());
    }

    HRESULT WINAPI EnumAdapterModes(UINT adapter, D3DFORMAT format, UINT mode, D3DDISPLAYMODE* displayMode) override {
        if (adapter != D3DADAPTER_DEFAULT || displayMode == nullptr) return D3DERR_INVALIDCALL;
        const std::vector<D3DDISPLAYMODE> modes = DisplayModesIn(format);
        if (mode >= modes.size()) return D3DERR_INVALIDCALL;
        *displayMode = modes[mode];
        return D3D_OK;
    }

    HRESULT WINAPI GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* displayMode) override {
        if (adapter != D3DADAPTER_DEFAULT || displayMode == nullptr) return D3DERR_INVALIDCALL;
        *displayMode = CurrentDisplayMode();
        return D3D_OK;
    }

    HRESULT WINAPI CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, DWORD usage,
                                     D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) override {
        const HRESULT checked = CheckAdapter(adapter, type);
        if (checked != D3D_OK) return checked;
        if (!IsDisplayFormat(adapterFormat)) return D3DERR_INVALIDCALL;
        return AdapterMakes(usage, resourceType, checkFormat) ? D3D_OK : D3DERR_NOTAVAILABLE;
    }

    HRESULT WINAPI CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                          D3DFORMAT renderTargetFormat, D3DFORMAT depthStencilFormat) override {
        const HRESULT checked = CheckAdapter(adapter, type);
        if (checked != D3D_OK) return checked;
        if (!IsDisplayFormat(adapterFormat)) return D3DERR_INVALIDCALL;
        return IsRenderTargetFormat(renderTargetFormat) && IsDepthStencilFormat(depthStencilFormat)
                   ? D3D_OK
                   : D3DERR_NOTAVAILABLE;
    }

    HRESULT WINAPI GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) override {
        const HRESULT checked = CheckAdapter(adapter, type);
        if (checked != D3D_OK) return checked;
        if (caps == nullptr) return D3DERR_INVALIDCALL;
        *caps = AdapterCaps();
        return D3D_OK;
    }

    HRESULT WINAPI CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behavior,
                                D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** device) override {
        if (device == nullptr) return D3DERR_INVALIDCALL;
        *device = nullptr;
        const HRESULT checked = CheckAdapter(adapter, type);
        if (checked != D3D_OK) return checked;
        if (parameters == nullptr) return D3DERR_INVALIDCALL;
        const D3DCAPS9 caps = AdapterCaps();
        if (CheckBehavior(behavior, caps) != D3D_OK) return D3DERR_INVALIDCALL;
        D3DPRESENT_PARAMETERS completed = *parameters;
        HWND deviceWindow = nullptr;
        D3DDISPLAYMODE fullScreenMode{};
        if (CompleteParameters(completed, focusWindow, deviceWindow, fullScreenMode) != D3D_OK)
            return D3DERR_INVALIDCALL;
        if (Profile().direct3d.deviceLost) return D3DERR_DEVICELOST;
        if (Profile().failures.direct3d.createDevice) return D3DERR_NOTAVAILABLE;
        std::unique_ptr<Renderer> renderer = MakeRenderer(deviceWindow);
        if (renderer == nullptr) return D3DERR_NOTAVAILABLE;

        auto core = std::make_shared<DeviceCore>(std::move(renderer));
        core->caps = caps;
        core->parameters = completed;
        core->deviceWindow = deviceWindow;
        if (!completed.Windowed) {
            DEVMODEA mode{};
            mode.dmSize = sizeof(mode);
            mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
            mode.dmBitsPerPel = completed.BackBufferFormat == D3DFMT_X8R8G8B8 || completed.BackBufferFormat == D3DFMT_A8R8G8B8 ? 32 : 16;
            mode.dmPelsWidth = fullScreenMode.Width;
            mode.dmPelsHeight = fullScreenMode.Height;
            mode.dmDisplayFrequency = fullScreenMode.RefreshRate;
            if (ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) return D3DERR_INVALIDCALL;
            core->switchedDisplayMode = true;
        }
        SwapChain* swapChain = nullptr;
        Surface* depth = nullptr;
        try {
            swapChain = new SwapChain(core);
            if (completed.EnableAutoDepthStencil) {
                depth = new Surface(core, std::make_unique<SurfaceMemory>(
                                              *FindFormat(completed.AutoDepthStencilFormat), completed.BackBufferWidth,
                                              completed.BackBufferHeight, D3DPOOL_DEFAULT, D3DUSAGE_DEPTHSTENCIL,
                                              SurfaceRole::DepthStencil, false));
            }
        } catch (const std::bad_alloc&) {
            if (swapChain != nullptr) swapChain->Release();
            if (core->switchedDisplayMode) ChangeDisplaySettingsA(nullptr, 0);
            return E_OUTOFMEMORY;
        }
        *device = new Device(core, swapChain, depth);
        *parameters = completed;
        return D3D_OK;
    }

private:
    ~Direct3D9() override = default;
};

}  // namespace

}  // namespace platform::d3d9

IDirect3D9* WINAPI Direct3DCreate9(UINT sdkVersion) {
    const platform::Direct3DProfile& adapter = platform::Profile().direct3d;
    if (sdkVersion != D3D_SDK_VERSION || !adapter.direct3d9 || platform::Profile().failures.direct3d.createDirect3D)
        return nullptr;
    // Drawing through OpenGL needs a context; without one the machine has no
    // Direct3D 9.
    if (adapter.renderer == platform::Direct3DRenderer::OpenGL && !platform::d3d9::HostOpenGl().available)
        return nullptr;
    void* made = nullptr;
    if (FAILED(platform::d3d9::Direct3D9::Create(IID_IDirect3D9, &made))) return nullptr;
    return static_cast<IDirect3D9*>(made);
}
