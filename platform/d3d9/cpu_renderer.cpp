// The CPU renderer's copies and fills.
#include "platform/d3d9/cpu_renderer.h"

#include "platform/d3d9/surface_copies.h"
#include "platform/d3d9/video_conversion.h"

namespace platform::d3d9 {

void CpuRenderer::StretchRect(SurfaceMemory& source, const RECT& sourceRect, SurfaceMemory& destination,
                              const RECT& destRect, D3DTEXTUREFILTERTYPE filter) {
    const bool sameSize = sourceRect.right - sourceRect.left == destRect.right - destRect.left &&
                          sourceRect.bottom - sourceRect.top == destRect.bottom - destRect.top;
    if (IsVideoFormat(source.format) && destination.format.kind == FormatKind::Colour) {
        if (!sameSize && filter == D3DTEXF_LINEAR) return;
        ConvertVideoRect(source, sourceRect, destination, destRect);
        ++destination.generation;
        return;
    }
    if (&source.format != &destination.format) return;
    if (sameSize) {
        CopyRect(source, sourceRect, destination, POINT{destRect.left, destRect.top});
    } else if (filter != D3DTEXF_LINEAR && source.format.kind == FormatKind::Colour) {
        StretchNearest(source, sourceRect, destination, destRect);
    } else {
        return;
    }
    ++destination.generation;
}

void CpuRenderer::UpdateSurface(SurfaceMemory& source, const RECT& sourceRect, SurfaceMemory& destination,
                                POINT destPoint) {
    CopyRect(source, sourceRect, destination, destPoint);
    ++destination.generation;
}

void CpuRenderer::GetRenderTargetData(SurfaceMemory& renderTarget, SurfaceMemory& destination) {
    CopyRect(renderTarget, renderTarget.Whole(), destination, POINT{0, 0});
    ++destination.generation;
}

void CpuRenderer::ColorFill(SurfaceMemory& surface, const RECT& rect, D3DCOLOR color) {
    if (FillColour(surface, rect, color)) ++surface.generation;
}

}  // namespace platform::d3d9
