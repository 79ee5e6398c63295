// The swap chain: back buffers and presenting. A lost device refuses to
// present until it is released and made anew; presenting inside a scene is
// refused; rectangles are taken only by the copy swap effect.
#include "platform/d3d9/swap_chain.h"

#include "platform/d3d9/call_arguments.h"
#include "platform/user/user.h"

namespace platform::d3d9 {
namespace {

bool Ordered(const RECT& rect) { return rect.left < rect.right && rect.top < rect.bottom; }

}  // namespace

SwapChain::SwapChain(std::shared_ptr<DeviceCore> core) : core_(std::move(core)) {
    const D3DPRESENT_PARAMETERS& parameters = core_->parameters;
    const bool lockable = (parameters.Flags & D3DPRESENTFLAG_LOCKABLE_BACKBUFFER) != 0;
    for (UINT i = 0; i < parameters.BackBufferCount; ++i) {
        memory_.push_back(std::make_unique<SurfaceMemory>(
            *FindFormat(parameters.BackBufferFormat), parameters.BackBufferWidth, parameters.BackBufferHeight,
            D3DPOOL_DEFAULT, D3DUSAGE_RENDERTARGET, SurfaceRole::BackBuffer, lockable));
        backBuffers_.push_back(new Surface(core_, *memory_.back(), *this));
    }
}

SwapChain::~SwapChain() {
    for (Surface* surface : backBuffers_) surface->DestroyPart();
    for (const auto& memory : memory_) core_->renderer->Released(*memory);
}

HRESULT WINAPI SwapChain::GetBackBuffer(UINT backBuffer, D3DBACKBUFFER_TYPE type, IDirect3DSurface9** surface) {
    if (surface == nullptr) return D3DERR_INVALIDCALL;
    *surface = nullptr;
    if (backBuffer >= backBuffers_.size() || type != D3DBACKBUFFER_TYPE_MONO) return D3DERR_INVALIDCALL;
    backBuffers_[backBuffer]->AddRef();
    *surface = backBuffers_[backBuffer];
    return D3D_OK;
}

HRESULT WINAPI SwapChain::Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                                  const void* dirtyRegion, DWORD flags) {
    // No present flags are offered.
    if (flags != 0) {
        CallArguments arguments;
        arguments.Rect(sourceRect).Rect(destRect).Add(Obj(destWindowOverride)).Add(Obj(dirtyRegion)).Add(Hex(flags));
        core_->renderer->Called(DeviceCall{"SwapChain.Present", arguments.Span(), {}, {}, D3DERR_INVALIDCALL});
        return D3DERR_INVALIDCALL;
    }
    return PresentChecked("SwapChain.Present", sourceRect, destRect, destWindowOverride, dirtyRegion);
}

HRESULT SwapChain::PresentChecked(const char* caller, const RECT* sourceRect, const RECT* destRect,
                                  HWND destWindowOverride, const void* dirtyRegion) {
    const D3DPRESENT_PARAMETERS& parameters = core_->parameters;
    SurfaceMemory& backBuffer = *memory_.front();
    HRESULT result = D3D_OK;
    RECT client{};
    if (core_->inScene || dirtyRegion != nullptr || backBuffer.locked) {
        result = D3DERR_INVALIDCALL;
    } else if ((sourceRect != nullptr || destRect != nullptr) && parameters.SwapEffect != D3DSWAPEFFECT_COPY) {
        result = D3DERR_INVALIDCALL;
    } else if (sourceRect != nullptr && !backBuffer.TakesRect(*sourceRect)) {
        result = D3DERR_INVALIDCALL;
    } else if (destRect != nullptr && !Ordered(*destRect)) {
        result = D3DERR_INVALIDCALL;
    } else if (destWindowOverride != nullptr && !GetClientRect(destWindowOverride, &client)) {
        result = D3DERR_INVALIDCALL;
    } else if (core_->Lost()) {
        result = D3DERR_DEVICELOST;
    } else {
        const UINT interval = parameters.PresentationInterval == D3DPRESENT_INTERVAL_IMMEDIATE
                                  ? D3DPRESENT_INTERVAL_IMMEDIATE
                                  : D3DPRESENT_INTERVAL_ONE;
        const PresentCall present{backBuffer, sourceRect, destRect,
                                  destWindowOverride != nullptr ? destWindowOverride : core_->deviceWindow,
                                  parameters.Windowed != FALSE, interval};
        result = core_->renderer->Present(present);
    }
    CallArguments arguments;
    arguments.Rect(sourceRect).Rect(destRect).Add(Obj(destWindowOverride)).Add(Obj(dirtyRegion));
    core_->renderer->Called(DeviceCall{caller, arguments.Span(), {}, {}, result});
    return result;
}

}  // namespace platform::d3d9
