// The bytes of one surface or texture level, in the device's layout, with
// what the locks and copies check: its pool, usage and role, whether it can
// be locked, whether it is locked. Private to platform/d3d9.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/formats.h"

namespace platform::d3d9 {

// What a surface is for; the copies between surfaces and the render-target
// calls take only some of them.
enum class SurfaceRole {
    OffscreenPlain,
    RenderTarget,  // a render-target surface of its own
    DepthStencil,
    BackBuffer,
    TextureLevel,  // a level of a texture (a render target when the texture was made for one)
};

struct SurfaceMemory {
    // Throws std::bad_alloc when the bytes cannot be had.
    SurfaceMemory(const FormatInfo& format, uint32_t width, uint32_t height, D3DPOOL pool, DWORD usage,
                  SurfaceRole role, bool lockable);

    SurfaceMemory(const SurfaceMemory&) = delete;
    SurfaceMemory& operator=(const SurfaceMemory&) = delete;

    const FormatInfo& format;
    const uint32_t width;
    const uint32_t height;
    const D3DPOOL pool;
    const DWORD usage;
    const SurfaceRole role;
    const bool lockable;
    const SurfaceLayout layout;
    std::vector<BYTE> bytes;

    bool locked = false;
    bool lockedReadOnly = false;
    // Counts the times the bytes were written from the CPU side (unlocks that
    // were not read-only, copies a renderer made in memory), so that a
    // renderer that keeps its own copy knows when to take them again.
    uint64_t generation = 0;

    // A texture's level: all the texture's levels, first to last, and which
    // of them this is, so that a renderer can hold the levels as one image.
    // Empty for every other surface.
    std::span<const std::unique_ptr<SurfaceMemory>> textureLevels;
    uint32_t level = 0;

    // A render target (own surface, back buffer or render-target texture level).
    bool IsRenderTarget() const { return (usage & D3DUSAGE_RENDERTARGET) != 0; }
    bool IsCompressed() const { return format.kind == FormatKind::Compressed; }

    D3DSURFACE_DESC Description() const;

    // A rectangle a lock or a copy may name: not empty, inside the surface,
    // on block edges for compressed formats (or at the surface's edge), on
    // pixel pairs for packed video, and the whole surface for planar video.
    bool TakesRect(const RECT& rect) const;
    RECT Whole() const { return RECT{0, 0, static_cast<LONG>(width), static_cast<LONG>(height)}; }

    // The byte of pixel (x, y), or of the block that holds it.
    BYTE* At(LONG x, LONG y);
};

}  // namespace platform::d3d9
