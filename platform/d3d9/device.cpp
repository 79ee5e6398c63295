// The device's life, scenes, presenting, loss and swap chain.
#include "platform/d3d9/device.h"

#include "platform/d3d9/texture.h"
#include "platform/d3d9/vertex_declaration.h"
#include "platform/profile/machine_profile.h"
#include "platform/user/user.h"

namespace platform::d3d9 {

bool DeviceCore::Lost() {
    if (!lost_ && Profile().direct3d.deviceLost) lost_ = true;
    return lost_;
}

Device::Device(std::shared_ptr<DeviceCore> core, SwapChain* swapChain, Surface* autoDepthStencil)
    : core_(std::move(core)), swapChain_(swapChain) {
    SetDefaultStates(state_, autoDepthStencil != nullptr);
    Surface& backBuffer = swapChain_->FirstBackBuffer();
    Bind(state_.renderTarget, &backBuffer);
    state_.depthStencil = autoDepthStencil;
    state_.viewport = D3DVIEWPORT9{0, 0, backBuffer.Memory().width, backBuffer.Memory().height, 0.0f, 1.0f};
    state_.scissor = backBuffer.Memory().Whole();
}

Device::~Device() {
    // Let go of everything bound, so that the objects (which hold the core)
    // do not keep one another alive.
    for (Texture*& texture : state_.textures) Bind<Texture>(texture, nullptr);
    Bind<Surface>(state_.renderTarget, nullptr);
    Bind<Surface>(state_.depthStencil, nullptr);
    Bind<VertexDeclaration>(state_.declaration, nullptr);
    Bind<VertexShader>(state_.vertexShader, nullptr);
    Bind<PixelShader>(state_.pixelShader, nullptr);
    swapChain_->Release();
    if (core_->switchedDisplayMode) ChangeDisplaySettingsA(nullptr, 0);
}

HRESULT Device::Done(HRESULT result, const char* name, const CallArguments& arguments, std::span<const BYTE> vertices,
                     std::span<const BYTE> indices) {
    core_->renderer->Called(DeviceCall{name, arguments.Span(), vertices, indices, result});
    return result;
}

Surface* Device::OwnSurface(IDirect3DSurface9* surface) const {
    Surface* own = surface != nullptr ? Surface::From(surface) : nullptr;
    return own != nullptr && own->Core() == core_ ? own : nullptr;
}

HRESULT WINAPI Device::TestCooperativeLevel() {
    HRESULT result = D3D_OK;
    // A lost device stays lost; once the display is free again it only
    // waits to be made anew.
    if (core_->Lost()) result = Profile().direct3d.deviceLost ? D3DERR_DEVICELOST : D3DERR_DEVICENOTRESET;
    return Done(result, "TestCooperativeLevel", CallArguments{});
}

HRESULT WINAPI Device::GetDeviceCaps(D3DCAPS9* caps) {
    if (caps != nullptr) *caps = core_->caps;
    return Done(caps != nullptr ? D3D_OK : D3DERR_INVALIDCALL, "GetDeviceCaps", CallArguments{});
}

HRESULT WINAPI Device::GetSwapChain(UINT swapChain, IDirect3DSwapChain9** chain) {
    HRESULT result = D3DERR_INVALIDCALL;
    if (chain != nullptr) {
        *chain = nullptr;
        if (swapChain == 0) {
            swapChain_->AddRef();
            *chain = swapChain_;
            result = D3D_OK;
        }
    }
    return Done(result, "GetSwapChain", CallArguments().Add(Int(swapChain)));
}

HRESULT WINAPI Device::GetBackBuffer(UINT swapChain, UINT backBuffer, D3DBACKBUFFER_TYPE type,
                                     IDirect3DSurface9** surface) {
    HRESULT result = D3DERR_INVALIDCALL;
    if (surface != nullptr) *surface = nullptr;
    if (swapChain == 0) result = swapChain_->GetBackBuffer(backBuffer, type, surface);
    return Done(result, "GetBackBuffer", CallArguments().Add(Int(swapChain)).Add(Int(backBuffer)).Add(Int(type)));
}

HRESULT WINAPI Device::Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                               const void* dirtyRegion) {
    return swapChain_->PresentChecked("Present", sourceRect, destRect, destWindowOverride, dirtyRegion);
}

HRESULT WINAPI Device::SetDialogBoxMode(BOOL enable) {
    // Dialogs are drawn over a back buffer the runtime can reach.
    const bool lockable = (core_->parameters.Flags & D3DPRESENTFLAG_LOCKABLE_BACKBUFFER) != 0;
    const HRESULT result = core_->inScene || !lockable ? D3DERR_INVALIDCALL : D3D_OK;
    return Done(result, "SetDialogBoxMode", CallArguments().Add(Int(enable)));
}

HRESULT WINAPI Device::BeginScene() {
    const HRESULT result = core_->inScene ? D3DERR_INVALIDCALL : D3D_OK;
    if (result == D3D_OK) core_->inScene = true;
    return Done(result, "BeginScene", CallArguments{});
}

HRESULT WINAPI Device::EndScene() {
    const HRESULT result = core_->inScene ? D3D_OK : D3DERR_INVALIDCALL;
    core_->inScene = false;
    return Done(result, "EndScene", CallArguments{});
}

}  // namespace platform::d3d9
