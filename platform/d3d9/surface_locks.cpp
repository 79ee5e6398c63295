// Locks of surfaces and texture levels: one at a time, into the surface's
// own bytes.
#include "platform/d3d9/surface_locks.h"

namespace platform::d3d9 {
namespace {

// READONLY and DISCARD, and the other hints a lock may carry (NOSYSLOCK,
// NOOVERWRITE, DONOTWAIT, NO_DIRTY_UPDATE), which change nothing here.
constexpr DWORD kLockFlags = D3DLOCK_READONLY | D3DLOCK_DISCARD | 0x0800u | 0x1000u | 0x4000u | 0x8000u;

}  // namespace

HRESULT LockSurface(SurfaceMemory& surface, Renderer& renderer, D3DLOCKED_RECT* locked, const RECT* rect,
                    DWORD flags) {
    if (locked == nullptr) return D3DERR_INVALIDCALL;
    locked->pBits = nullptr;
    locked->Pitch = 0;
    if (!surface.lockable || surface.locked || (flags & ~kLockFlags) != 0) return D3DERR_INVALIDCALL;
    const RECT area = rect != nullptr ? *rect : surface.Whole();
    if (!surface.TakesRect(area)) return D3DERR_INVALIDCALL;
    renderer.SyncForCpu(surface);
    surface.locked = true;
    surface.lockedReadOnly = (flags & D3DLOCK_READONLY) != 0;
    locked->pBits = surface.At(area.left, area.top);
    locked->Pitch = static_cast<INT>(surface.layout.pitch);
    return D3D_OK;
}

HRESULT UnlockSurface(SurfaceMemory& surface) {
    if (!surface.locked) return D3DERR_INVALIDCALL;
    surface.locked = false;
    if (!surface.lockedReadOnly) ++surface.generation;
    surface.lockedReadOnly = false;
    return D3D_OK;
}

}  // namespace platform::d3d9
