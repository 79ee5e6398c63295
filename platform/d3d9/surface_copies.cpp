// Exact copies, stretches and fills of surface bytes.
#include "platform/d3d9/surface_copies.h"

#include <bit>
#include <cstring>

namespace platform::d3d9 {
namespace {

// The bytes of one row of `width` pixels (or blocks) starting at x.
size_t RowBytes(const SurfaceMemory& surface, LONG width) {
    if (surface.format.kind == FormatKind::Compressed) return size_t((width + 3) / 4) * surface.format.blockBytes;
    return size_t(width) * surface.format.bitsPerPixel / 8;
}

// A value of 8 bits in a channel of `mask`, rounded to its width.
uint32_t Channel(uint32_t value, uint32_t mask) {
    if (mask == 0) return 0;
    const int width = std::popcount(mask);
    const uint64_t steps = (uint64_t{1} << width) - 1;
    const uint64_t scaled = (2 * value * steps + 255) / 510;
    return static_cast<uint32_t>(scaled << std::countr_zero(mask)) & mask;
}

}  // namespace

void CopyRect(SurfaceMemory& from, const RECT& area, SurfaceMemory& to, POINT at) {
    if (from.format.kind == FormatKind::PlanarVideo) {
        // Planar surfaces are only ever copied whole.
        std::memcpy(to.bytes.data(), from.bytes.data(), from.bytes.size());
        return;
    }
    const bool blocks = from.IsCompressed();
    const LONG rows = blocks ? (area.bottom - area.top + 3) / 4 : area.bottom - area.top;
    const size_t rowBytes = RowBytes(from, area.right - area.left);
    for (LONG row = 0; row < rows; ++row) {
        const LONG step = blocks ? row * 4 : row;
        std::memcpy(to.At(at.x, at.y + step), from.At(area.left, area.top + step), rowBytes);
    }
}

void StretchNearest(SurfaceMemory& from, const RECT& area, SurfaceMemory& to, const RECT& onto) {
    const uint32_t bytes = from.format.bitsPerPixel / 8;
    ForEachNearestPixel(area, onto, [&](LONG x, LONG y, LONG sourceX, LONG sourceY) {
        std::memcpy(to.At(x, y), from.At(sourceX, sourceY), bytes);
    });
}

uint32_t PixelOfColour(const FormatInfo& format, D3DCOLOR colour) {
    return Channel((colour >> 16) & 0xFF, format.red) | Channel((colour >> 8) & 0xFF, format.green) |
           Channel(colour & 0xFF, format.blue) | Channel(colour >> 24, format.alpha) | format.unused;
}

void PutPixel(BYTE* at, const FormatInfo& format, uint32_t pixel) {
    for (uint32_t i = 0; i < format.bitsPerPixel / 8; ++i) at[i] = static_cast<BYTE>(pixel >> (8 * i));
}

bool FillColour(SurfaceMemory& surface, const RECT& area, D3DCOLOR colour) {
    const FormatInfo& format = surface.format;
    if (format.kind != FormatKind::Colour) return false;
    const uint32_t pixel = PixelOfColour(format, colour);
    const uint32_t bytes = format.bitsPerPixel / 8;
    BYTE encoded[4];
    for (uint32_t i = 0; i < 4; ++i) encoded[i] = static_cast<BYTE>(pixel >> (8 * i));
    for (LONG y = area.top; y < area.bottom; ++y) {
        BYTE* out = surface.At(area.left, y);
        for (LONG x = area.left; x < area.right; ++x, out += bytes) std::memcpy(out, encoded, bytes);
    }
    return true;
}

}  // namespace platform::d3d9
