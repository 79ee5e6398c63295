// Video surfaces converted into colour surfaces.
#include "platform/d3d9/video_conversion.h"

#include <cmath>

#include "platform/d3d9/surface_copies.h"

namespace platform::d3d9 {
namespace {

uint32_t Primary(double value) {
    const double rounded = std::floor(value + 0.5);
    return static_cast<uint32_t>(rounded < 0.0 ? 0.0 : rounded > 255.0 ? 255.0 : rounded);
}

struct Yuv {
    int y, u, v;
};

// The samples of pixel (x, y).
Yuv SampleAt(const SurfaceMemory& surface, LONG x, LONG y) {
    const BYTE* bytes = surface.bytes.data();
    const size_t pitch = surface.layout.pitch;
    switch (surface.format.format) {
        case D3DFMT_YUY2: {  // Y0 U Y1 V
            const BYTE* pair = bytes + size_t(y) * pitch + size_t(x / 2) * 4;
            return Yuv{pair[(x % 2) * 2], pair[1], pair[3]};
        }
        case D3DFMT_UYVY: {  // U Y0 V Y1
            const BYTE* pair = bytes + size_t(y) * pitch + size_t(x / 2) * 4;
            return Yuv{pair[1 + (x % 2) * 2], pair[0], pair[2]};
        }
        default: {  // YV12: the Y plane, then V and U at half the pitch and half the rows
            const size_t halfPitch = pitch / 2;
            const BYTE* v = bytes + pitch * surface.height;
            const BYTE* u = v + halfPitch * (surface.height / 2);
            const size_t chroma = size_t(y / 2) * halfPitch + size_t(x / 2);
            return Yuv{bytes[size_t(y) * pitch + size_t(x)], u[chroma], v[chroma]};
        }
    }
}

}  // namespace

D3DCOLOR ColourOfYuv(int y, int u, int v) {
    const double luma = 1.164 * (y - 16);
    const double cb = u - 128;
    const double cr = v - 128;
    return 0xFF000000u | Primary(luma + 1.596 * cr) << 16 | Primary(luma - 0.391 * cb - 0.813 * cr) << 8 |
           Primary(luma + 2.018 * cb);
}

void ConvertVideoRect(SurfaceMemory& from, const RECT& area, SurfaceMemory& to, const RECT& onto) {
    ForEachNearestPixel(area, onto, [&](LONG x, LONG y, LONG sourceX, LONG sourceY) {
        const Yuv sample = SampleAt(from, sourceX, sourceY);
        PutPixel(to.At(x, y), to.format, PixelOfColour(to.format, ColourOfYuv(sample.y, sample.u, sample.v)));
    });
}

}  // namespace platform::d3d9
