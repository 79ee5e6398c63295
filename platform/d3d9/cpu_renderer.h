// The renderer that makes in memory the copies between surfaces that are
// exact by definition: UpdateSurface and GetRenderTargetData byte for byte,
// ColorFill in the surface's format, StretchRect between surfaces of one
// format when no filtering can change a pixel (the same size, or a stretch
// of a colour format without D3DTEXF_LINEAR), and StretchRect from a video
// surface into a colour surface through the conversion of
// platform/d3d9/video_conversion.h (also unfiltered). It keeps the calls as
// the recording renderer does; draws, clears and presents make no pixels,
// and a copy it cannot make exactly (another conversion between formats, a
// filtered stretch) leaves the destination as it was. Private to
// platform/d3d9.
#pragma once

#include "platform/d3d9/recording_renderer.h"

namespace platform::d3d9 {

class CpuRenderer final : public RecordingRenderer {
public:
    void StretchRect(SurfaceMemory& source, const RECT& sourceRect, SurfaceMemory& destination, const RECT& destRect,
                     D3DTEXTUREFILTERTYPE filter) override;
    void UpdateSurface(SurfaceMemory& source, const RECT& sourceRect, SurfaceMemory& destination,
                       POINT destPoint) override;
    void GetRenderTargetData(SurfaceMemory& renderTarget, SurfaceMemory& destination) override;
    void ColorFill(SurfaceMemory& surface, const RECT& rect, D3DCOLOR color) override;
};

}  // namespace platform::d3d9
