// Locking a surface's bytes, as surfaces and texture levels share it.
// Private to platform/d3d9.
#pragma once

#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/renderer.h"
#include "platform/d3d9/surface_memory.h"

namespace platform::d3d9 {

// D3DERR_INVALIDCALL for a surface that cannot be locked (video memory
// without D3DUSAGE_DYNAMIC, a render target not made lockable, a depth
// surface), one already locked, a rectangle it does not take or flags it
// does not know; else the bits of the rectangle (the whole surface for a
// null one) and the pitch.
HRESULT LockSurface(SurfaceMemory& surface, Renderer& renderer, D3DLOCKED_RECT* locked, const RECT* rect,
                    DWORD flags);
// D3DERR_INVALIDCALL when the surface is not locked.
HRESULT UnlockSurface(SurfaceMemory& surface);

}  // namespace platform::d3d9
