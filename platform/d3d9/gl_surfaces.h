// The OpenGL copies of a device's surfaces: a texture for every colour
// surface in video memory (one texture holds all the levels of a Direct3D
// texture), a renderbuffer for every depth surface, and framebuffers for the
// surfaces that are drawn into or copied between. Rows are kept in
// Direct3D's order, top row first at t = 0, so that bytes go up and come
// back without turning over and texture coordinates mean what they mean to
// Direct3D; only the present into a window turns the frame.
//
// A copy is made at the first use and follows the surface's bytes: when
// their generation has moved on (an unlock, a copy made in memory), the
// next use uploads them again. What OpenGL draws into a copy reaches the
// bytes when the device is about to read them (ReadBack). System-memory
// surfaces have no copy. Private to platform/d3d9's OpenGL renderer.
#pragma once

#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/d3d9/gl_formats.h"
#include "platform/d3d9/gl_state_cache.h"
#include "platform/d3d9/packed_pixels.h"
#include "platform/d3d9/surface_memory.h"

namespace platform::d3d9 {

// How a texture is sampled: its texture parameters.
struct GlSampling {
    GLint minFilter = GL_NEAREST;
    GLint magFilter = GL_NEAREST;
    GLint wrapS = GL_REPEAT;
    GLint wrapT = GL_REPEAT;
    GLfloat anisotropy = 1.0f;
    bool operator==(const GlSampling&) const = default;
};

class GlSurfaces {
public:
    explicit GlSurfaces(GlStateCache& state) : state_(state) {}
    // Deletes every copy; the context must be current.
    ~GlSurfaces();

    GlSurfaces(const GlSurfaces&) = delete;
    GlSurfaces& operator=(const GlSurfaces&) = delete;

    // The texture of a colour surface (of a texture's level: the texture's),
    // up to date with the bytes; 0 when the format is not held.
    GLuint Texture(SurfaceMemory& surface);
    // A framebuffer that draws into a colour surface, up to date with its
    // bytes, with `depth` attached (or none); 0 when it cannot be had.
    GLuint Framebuffer(SurfaceMemory& surface, SurfaceMemory* depth);
    // The same with whatever depth surface is attached, for copies and fills.
    GLuint Framebuffer(SurfaceMemory& surface);
    // The surface's pixels changed in OpenGL (drawn, cleared, copied into).
    void Drawn(SurfaceMemory& surface);
    // Sets how a texture (by any of its levels) is sampled; binds it on the
    // state cache's work unit when something changes.
    void Sample(SurfaceMemory& surface, const GlSampling& sampling);

    // Brings the bytes up to date with what OpenGL drew into the copy.
    void ReadBack(SurfaceMemory& surface);
    // The copy's pixels in `bytes`, in the surface's own layout.
    void ReadPixels(SurfaceMemory& surface, BYTE* bytes);
    // Writes a rectangle of `source`'s bytes (a surface of the same format)
    // into the copy of `destination` at `at`; the bytes of `destination` are
    // then behind the copy.
    void WriteRect(const SurfaceMemory& source, const RECT& rect, SurfaceMemory& destination, POINT at);

    // Deletes the copy of a surface that goes away; without `current` (the
    // context cannot be made current) only forgets it.
    void Released(SurfaceMemory& surface, bool current);
    // Forgets every copy without a call to OpenGL: the context is gone (or
    // cannot be made current), and its objects with it.
    void Abandon();

private:
    // One OpenGL object: a surface's, or a texture's with all its levels.
    struct Image {
        const GlFormat* format = nullptr;
        GLuint texture = 0;
        GLuint renderbuffer = 0;
        uint32_t users = 0;  // the surfaces (levels) that hold it
        GlSampling sampling;
    };
    struct Held {
        Image* image = nullptr;
        uint64_t generation = 0;  // of the bytes the copy last took
        bool newerInGl = false;   // drawn into since the bytes were last brought up to date
        GLuint framebuffer = 0;
        const SurfaceMemory* depth = nullptr;  // attached to the framebuffer
    };

    // The surface's copy, made when missing; null when the format is not held.
    Held* Hold(SurfaceMemory& surface);
    void Upload(SurfaceMemory& surface, Held& held);
    void MakeImage(SurfaceMemory& surface);
    void AttachDepth(Held& held, SurfaceMemory* depth);
    void DeleteImage(Image& image);
    // The packer that reads a 16-bit format back faster, once it is known to
    // give what OpenGL's own packing gives; null for any other format or when
    // OpenGL packs differently.
    const PixelPacker* Packer(const GlFormat& format);
    bool PacksAsOpenGl(const PixelPacker& packer, const GlFormat& format);

    GlStateCache& state_;
    std::unordered_map<const SurfaceMemory*, Held> held_;
    std::unordered_map<const Image*, std::unique_ptr<Image>> images_;
    std::unordered_map<const GlFormat*, std::unique_ptr<PixelPacker>> packers_;
    std::vector<BYTE> channels_;  // a read-back's pixels as bytes, before packing
};

}  // namespace platform::d3d9
