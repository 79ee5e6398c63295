// Surfaces: their description and locks, and the reference count they share
// with their container when they are a part of one.
#include "platform/d3d9/surface.h"

#include "platform/d3d9/surface_locks.h"

namespace platform::d3d9 {

Surface::Surface(std::shared_ptr<DeviceCore> core, std::unique_ptr<SurfaceMemory> memory)
    : core_(std::move(core)), own_(std::move(memory)), memory_(*own_) {}

Surface::Surface(std::shared_ptr<DeviceCore> core, SurfaceMemory& memory, IUnknown& container)
    : core_(std::move(core)), memory_(memory), container_(&container) {}

Surface::~Surface() {
    if (own_ != nullptr) core_->renderer->Released(*own_);
}

ULONG WINAPI Surface::AddRef() { return container_ != nullptr ? container_->AddRef() : Object::AddRef(); }

ULONG WINAPI Surface::Release() { return container_ != nullptr ? container_->Release() : Object::Release(); }

void Surface::DestroyPart() { Object::Release(); }

HRESULT WINAPI Surface::GetDesc(D3DSURFACE_DESC* description) {
    if (description == nullptr) return D3DERR_INVALIDCALL;
    *description = memory_.Description();
    return D3D_OK;
}

HRESULT WINAPI Surface::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
    return LockSurface(memory_, *core_->renderer, locked, rect, flags);
}

HRESULT WINAPI Surface::UnlockRect() { return UnlockSurface(memory_); }

}  // namespace platform::d3d9
