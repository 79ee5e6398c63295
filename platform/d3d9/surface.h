// A surface object: a render target, depth surface or off-screen plain
// surface with bytes of its own, or a part of a container (a texture's
// level, a swap chain's back buffer) whose bytes and reference count are the
// container's. Private to platform/d3d9.
#pragma once

#include <memory>

#include "platform/d3d9/device_core.h"
#include "platform/d3d9/interface_ids.h"
#include "platform/d3d9/surface_memory.h"

namespace platform::d3d9 {

class Surface final : public com::Object<Surface, IDirect3DSurface9> {
public:
    // A surface of its own.
    Surface(std::shared_ptr<DeviceCore> core, std::unique_ptr<SurfaceMemory> memory);
    // A part of `container`: AddRef and Release count the container's
    // references, and the container destroys the part with DestroyPart.
    Surface(std::shared_ptr<DeviceCore> core, SurfaceMemory& memory, IUnknown& container);

    ULONG WINAPI AddRef() override;
    ULONG WINAPI Release() override;

    HRESULT WINAPI GetDesc(D3DSURFACE_DESC* description) override;
    HRESULT WINAPI LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT WINAPI UnlockRect() override;

    SurfaceMemory& Memory() { return memory_; }
    const std::shared_ptr<DeviceCore>& Core() const { return core_; }

    // The container's end.
    void DestroyPart();

    // Ours or null: the surface object behind an interface pointer.
    static Surface* From(IDirect3DSurface9* surface) { return dynamic_cast<Surface*>(surface); }

private:
    ~Surface() override;

    std::shared_ptr<DeviceCore> core_;
    std::unique_ptr<SurfaceMemory> own_;
    SurfaceMemory& memory_;
    IUnknown* container_ = nullptr;
};

}  // namespace platform::d3d9
