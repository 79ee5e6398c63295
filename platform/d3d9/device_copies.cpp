// Copies between surfaces and fills, with the rules Direct3D gives each:
// UpdateSurface from system memory into video memory in one format;
// GetRenderTargetData from a render target into system memory of its size
// and format; StretchRect between video-memory surfaces into a render target
// (or between off-screen surfaces without stretching), never from a texture
// that is not a render target, never compressed; ColorFill of a video-memory
// render target or off-screen surface. None takes a locked surface. A lost
// device takes them and copies nothing, except GetRenderTargetData, which
// reports the loss.
#include "platform/d3d9/device.h"

namespace platform::d3d9 {
namespace {

bool Overlap(const RECT& a, const RECT& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// A surface a copy may read from or write into in video memory.
bool IsColourSurface(const SurfaceMemory& surface) {
    return surface.format.kind != FormatKind::Depth && !surface.IsCompressed();
}

}  // namespace

HRESULT WINAPI Device::UpdateSurface(IDirect3DSurface9* source, const RECT* sourceRect, IDirect3DSurface9* destination,
                                     const POINT* destPoint) {
    Surface* from = OwnSurface(source);
    Surface* to = OwnSurface(destination);
    HRESULT result = D3DERR_INVALIDCALL;
    if (from != nullptr && to != nullptr && from != to) {
        SurfaceMemory& in = from->Memory();
        SurfaceMemory& out = to->Memory();
        const RECT area = sourceRect != nullptr ? *sourceRect : in.Whole();
        const POINT at = destPoint != nullptr ? *destPoint : POINT{0, 0};
        // Where the rectangle lands, worked out wide so that no point can overflow it.
        const int64_t right = int64_t{at.x} + (int64_t{area.right} - area.left);
        const int64_t bottom = int64_t{at.y} + (int64_t{area.bottom} - area.top);
        const bool fits = right <= out.width && bottom <= out.height;
        const RECT landing{at.x, at.y, fits ? static_cast<LONG>(right) : 0, fits ? static_cast<LONG>(bottom) : 0};
        if (in.pool == D3DPOOL_SYSTEMMEM && out.pool == D3DPOOL_DEFAULT && &in.format == &out.format &&
            in.format.kind != FormatKind::Depth && !in.locked && !out.locked && in.TakesRect(area) && fits &&
            out.TakesRect(landing)) {
            if (!core_->Lost()) core_->renderer->UpdateSurface(in, area, out, at);
            result = D3D_OK;
        }
    }
    CallArguments arguments;
    arguments.Add(Obj(source)).Rect(sourceRect).Add(Obj(destination));
    if (destPoint != nullptr) {
        arguments.Add(Int(destPoint->x)).Add(Int(destPoint->y));
    } else {
        arguments.Add(Obj(nullptr));
    }
    return Done(result, "UpdateSurface", arguments);
}

HRESULT WINAPI Device::GetRenderTargetData(IDirect3DSurface9* renderTarget, IDirect3DSurface9* destination) {
    Surface* from = OwnSurface(renderTarget);
    Surface* to = OwnSurface(destination);
    HRESULT result = D3DERR_INVALIDCALL;
    if (from != nullptr && to != nullptr) {
        SurfaceMemory& in = from->Memory();
        SurfaceMemory& out = to->Memory();
        if (in.IsRenderTarget() && out.pool == D3DPOOL_SYSTEMMEM &&
            (out.role == SurfaceRole::OffscreenPlain || out.role == SurfaceRole::TextureLevel) &&
            &in.format == &out.format && in.width == out.width && in.height == out.height && !in.locked &&
            !out.locked) {
            if (core_->Lost()) {
                result = D3DERR_DEVICELOST;
            } else {
                core_->renderer->GetRenderTargetData(in, out);
                result = D3D_OK;
            }
        }
    }
    return Done(result, "GetRenderTargetData", CallArguments().Add(Obj(renderTarget)).Add(Obj(destination)));
}

HRESULT WINAPI Device::StretchRect(IDirect3DSurface9* source, const RECT* sourceRect, IDirect3DSurface9* destination,
                                   const RECT* destRect, D3DTEXTUREFILTERTYPE filter) {
    Surface* from = OwnSurface(source);
    Surface* to = OwnSurface(destination);
    HRESULT result = D3DERR_INVALIDCALL;
    if (from != nullptr && to != nullptr && filter <= D3DTEXF_LINEAR) {
        SurfaceMemory& in = from->Memory();
        SurfaceMemory& out = to->Memory();
        const RECT inArea = sourceRect != nullptr ? *sourceRect : in.Whole();
        const RECT outArea = destRect != nullptr ? *destRect : out.Whole();
        const bool stretched =
            inArea.right - inArea.left != outArea.right - outArea.left || inArea.bottom - inArea.top != outArea.bottom - outArea.top;
        const bool readable = in.role != SurfaceRole::TextureLevel || in.IsRenderTarget();
        const bool writable = out.IsRenderTarget() ||
                              (out.role == SurfaceRole::OffscreenPlain && in.role == SurfaceRole::OffscreenPlain && !stretched);
        if (in.pool == D3DPOOL_DEFAULT && out.pool == D3DPOOL_DEFAULT && IsColourSurface(in) && IsColourSurface(out) &&
            readable && writable && !in.locked && !out.locked && in.TakesRect(inArea) && out.TakesRect(outArea) &&
            !(from == to && Overlap(inArea, outArea))) {
            if (!core_->Lost()) core_->renderer->StretchRect(in, inArea, out, outArea, filter);
            result = D3D_OK;
        }
    }
    return Done(result, "StretchRect",
                CallArguments().Add(Obj(source)).Rect(sourceRect).Add(Obj(destination)).Rect(destRect).Add(Int(filter)));
}

HRESULT WINAPI Device::ColorFill(IDirect3DSurface9* surface, const RECT* rect, D3DCOLOR color) {
    Surface* own = OwnSurface(surface);
    HRESULT result = D3DERR_INVALIDCALL;
    if (own != nullptr) {
        SurfaceMemory& memory = own->Memory();
        const RECT area = rect != nullptr ? *rect : memory.Whole();
        const bool fillable = memory.IsRenderTarget() || memory.role == SurfaceRole::OffscreenPlain;
        if (memory.pool == D3DPOOL_DEFAULT && fillable && IsColourSurface(memory) && !memory.locked &&
            memory.TakesRect(area)) {
            if (!core_->Lost()) core_->renderer->ColorFill(memory, area, color);
            result = D3D_OK;
        }
    }
    return Done(result, "ColorFill", CallArguments().Add(Obj(surface)).Rect(rect).Add(Hex(color)));
}

}  // namespace platform::d3d9
