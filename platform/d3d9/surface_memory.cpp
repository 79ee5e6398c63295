// A surface's bytes and the rectangles its locks and copies may name.
#include "platform/d3d9/surface_memory.h"

namespace platform::d3d9 {

SurfaceMemory::SurfaceMemory(const FormatInfo& format, uint32_t width, uint32_t height, D3DPOOL pool, DWORD usage,
                             SurfaceRole role, bool lockable)
    : format(format),
      width(width),
      height(height),
      pool(pool),
      usage(usage),
      role(role),
      lockable(lockable),
      layout(LayoutOf(format, width, height)),
      bytes(layout.size, 0) {}

D3DSURFACE_DESC SurfaceMemory::Description() const {
    D3DSURFACE_DESC description{};
    description.Format = format.format;
    description.Type = D3DRTYPE_SURFACE;
    description.Usage = usage;
    description.Pool = pool;
    description.MultiSampleType = D3DMULTISAMPLE_NONE;
    description.MultiSampleQuality = 0;
    description.Width = width;
    description.Height = height;
    return description;
}

bool SurfaceMemory::TakesRect(const RECT& rect) const {
    if (rect.left < 0 || rect.top < 0 || rect.left >= rect.right || rect.top >= rect.bottom) return false;
    if (rect.right > static_cast<LONG>(width) || rect.bottom > static_cast<LONG>(height)) return false;
    switch (format.kind) {
        case FormatKind::Compressed: {
            const auto onBlockEdge = [](LONG edge, uint32_t size) {
                return edge % 4 == 0 || edge == static_cast<LONG>(size);
            };
            return rect.left % 4 == 0 && rect.top % 4 == 0 && onBlockEdge(rect.right, width) &&
                   onBlockEdge(rect.bottom, height);
        }
        case FormatKind::PackedVideo:
            return rect.left % 2 == 0 && rect.right % 2 == 0;
        case FormatKind::PlanarVideo:
            return rect.left == 0 && rect.top == 0 && rect.right == static_cast<LONG>(width) &&
                   rect.bottom == static_cast<LONG>(height);
        default:
            return true;
    }
}

BYTE* SurfaceMemory::At(LONG x, LONG y) {
    if (format.kind == FormatKind::Compressed)
        return bytes.data() + size_t(y / 4) * layout.pitch + size_t(x / 4) * format.blockBytes;
    return bytes.data() + size_t(y) * layout.pitch + size_t(x) * format.bitsPerPixel / 8;
}

}  // namespace platform::d3d9
