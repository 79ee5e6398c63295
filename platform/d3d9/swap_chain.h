// The device's swap chain: its back buffers (parts that share its reference
// count) and Present, which the device's own Present also runs. Private to
// platform/d3d9.
#pragma once

#include <memory>
#include <vector>

#include "platform/d3d9/device_core.h"
#include "platform/d3d9/interface_ids.h"
#include "platform/d3d9/surface.h"

namespace platform::d3d9 {

class SwapChain final : public com::Object<SwapChain, IDirect3DSwapChain9> {
public:
    // Back buffers of the core's presentation parameters. Throws
    // std::bad_alloc when their bytes cannot be had.
    explicit SwapChain(std::shared_ptr<DeviceCore> core);

    HRESULT WINAPI Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                           const void* dirtyRegion, DWORD flags) override;
    HRESULT WINAPI GetBackBuffer(UINT backBuffer, D3DBACKBUFFER_TYPE type, IDirect3DSurface9** surface) override;

    // Back buffer 0, without a reference.
    Surface& FirstBackBuffer() { return *backBuffers_.front(); }

    // The checks and the present itself, shared with the device's Present;
    // `caller` names the call as the renderer keeps it.
    HRESULT PresentChecked(const char* caller, const RECT* sourceRect, const RECT* destRect,
                           HWND destWindowOverride, const void* dirtyRegion);

private:
    ~SwapChain() override;

    std::shared_ptr<DeviceCore> core_;
    std::vector<std::unique_ptr<SurfaceMemory>> memory_;
    std::vector<Surface*> backBuffers_;
};

}  // namespace platform::d3d9
