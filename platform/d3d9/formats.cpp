// The table of formats the device keeps in memory, and their layout.
#include "platform/d3d9/formats.h"

namespace platform::d3d9 {
namespace {

constexpr FormatInfo kFormats[] = {
    {D3DFMT_R8G8B8, FormatKind::Colour, 24, 0, 0xFF0000u, 0xFF00u, 0xFFu, 0, 0, false},
    {D3DFMT_A8R8G8B8, FormatKind::Colour, 32, 0, 0xFF0000u, 0xFF00u, 0xFFu, 0xFF000000u, 0, false},
    {D3DFMT_X8R8G8B8, FormatKind::Colour, 32, 0, 0xFF0000u, 0xFF00u, 0xFFu, 0, 0xFF000000u, false},
    {D3DFMT_R5G6B5, FormatKind::Colour, 16, 0, 0xF800u, 0x7E0u, 0x1Fu, 0, 0, false},
    {D3DFMT_X1R5G5B5, FormatKind::Colour, 16, 0, 0x7C00u, 0x3E0u, 0x1Fu, 0, 0x8000u, false},
    {D3DFMT_A1R5G5B5, FormatKind::Colour, 16, 0, 0x7C00u, 0x3E0u, 0x1Fu, 0x8000u, 0, false},
    {D3DFMT_A4R4G4B4, FormatKind::Colour, 16, 0, 0xF00u, 0xF0u, 0xFu, 0xF000u, 0, false},
    {D3DFMT_R3G3B2, FormatKind::Colour, 8, 0, 0xE0u, 0x1Cu, 0x3u, 0, 0, false},
    {D3DFMT_A8R3G3B2, FormatKind::Colour, 16, 0, 0xE0u, 0x1Cu, 0x3u, 0xFF00u, 0, false},
    {D3DFMT_X4R4G4B4, FormatKind::Colour, 16, 0, 0xF00u, 0xF0u, 0xFu, 0, 0xF000u, false},
    {D3DFMT_A2B10G10R10, FormatKind::Colour, 32, 0, 0x3FFu, 0xFFC00u, 0x3FF00000u, 0xC0000000u, 0, false},
    {D3DFMT_A8B8G8R8, FormatKind::Colour, 32, 0, 0xFFu, 0xFF00u, 0xFF0000u, 0xFF000000u, 0, false},
    {D3DFMT_X8B8G8R8, FormatKind::Colour, 32, 0, 0xFFu, 0xFF00u, 0xFF0000u, 0, 0xFF000000u, false},
    {D3DFMT_A2R10G10B10, FormatKind::Colour, 32, 0, 0x3FF00000u, 0xFFC00u, 0x3FFu, 0xC0000000u, 0, false},
    {D3DFMT_D16, FormatKind::Depth, 16, 0, 0, 0, 0, 0, 0, false},
    {D3DFMT_D24X8, FormatKind::Depth, 32, 0, 0, 0, 0, 0, 0, false},
    {D3DFMT_D24S8, FormatKind::Depth, 32, 0, 0, 0, 0, 0, 0, true},
    {D3DFMT_D32, FormatKind::Depth, 32, 0, 0, 0, 0, 0, 0, false},
    {D3DFMT_DXT1, FormatKind::Compressed, 4, 8, 0, 0, 0, 0, 0, false},
    {D3DFMT_DXT2, FormatKind::Compressed, 8, 16, 0, 0, 0, 0, 0, false},
    {D3DFMT_DXT3, FormatKind::Compressed, 8, 16, 0, 0, 0, 0, 0, false},
    {D3DFMT_DXT4, FormatKind::Compressed, 8, 16, 0, 0, 0, 0, 0, false},
    {D3DFMT_DXT5, FormatKind::Compressed, 8, 16, 0, 0, 0, 0, 0, false},
    {D3DFMT_YUY2, FormatKind::PackedVideo, 16, 0, 0, 0, 0, 0, 0, false},
    {D3DFMT_UYVY, FormatKind::PackedVideo, 16, 0, 0, 0, 0, 0, 0, false},
    {D3DFMT_YV12, FormatKind::PlanarVideo, 12, 0, 0, 0, 0, 0, 0, false},
};

uint32_t AlignedTo4(uint64_t bytes) { return static_cast<uint32_t>((bytes + 3) & ~uint64_t{3}); }

}  // namespace

const FormatInfo* FindFormat(D3DFORMAT format) {
    for (const FormatInfo& info : kFormats)
        if (info.format == format) return &info;
    return nullptr;
}

bool IsDisplayFormat(D3DFORMAT format) {
    return format == D3DFMT_X8R8G8B8 || format == D3DFMT_R5G6B5 || format == D3DFMT_X1R5G5B5;
}

SurfaceLayout LayoutOf(const FormatInfo& format, uint32_t width, uint32_t height) {
    SurfaceLayout layout{};
    switch (format.kind) {
        case FormatKind::Compressed: {
            const uint32_t across = width < 4 ? 1 : (width + 3) / 4;
            layout.pitch = across * format.blockBytes;
            layout.rows = height < 4 ? 1 : (height + 3) / 4;
            break;
        }
        case FormatKind::PlanarVideo:
            // The chroma planes follow the Y plane at half its pitch and with
            // half its rows, which together make half as many full rows.
            layout.pitch = AlignedTo4(width);
            layout.rows = height + height / 2;
            break;
        default:
            layout.pitch = AlignedTo4(uint64_t{width} * (format.bitsPerPixel / 8));
            layout.rows = height;
            break;
    }
    layout.size = size_t{layout.pitch} * layout.rows;
    return layout;
}

}  // namespace platform::d3d9
