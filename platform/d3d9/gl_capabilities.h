// What the host's OpenGL offers a Direct3D 9 device: whether a context can
// be had at all and does what the OpenGL renderer needs, and what the
// adapter may then offer (block compression, anisotropy, the largest
// texture). Includes no OpenGL header: the adapter reads it too. Private to
// platform/d3d9.
#pragma once

#include <cstdint>

#include "platform/d3d9/d3d9.h"

namespace platform::d3d9 {

struct OpenGlCapabilities {
    // A context can be had and has what the renderer needs: OpenGL 2.1,
    // framebuffer objects with blits (3.0, or the framebuffer-object
    // extension) and the first vertex of a triangle as its provoking vertex
    // (3.2, or the provoking-vertex extension) for flat shading.
    bool available = false;
    bool s3tc = false;  // S3TC (DXT) textures
    float maxAnisotropy = 1.0f;  // 1 without anisotropic filtering
    uint32_t maxTextureSize = 0;
};

// The host's OpenGL as a context for a hidden window of the display shows
// it, found at the first call and kept; not available (and not kept) while
// the display adapter in force shows no windows.
const OpenGlCapabilities& HostOpenGl();

// The capabilities of the context current on the calling thread.
OpenGlCapabilities ReadCurrentOpenGl();

// Whether the OpenGL renderer can hold surfaces of `format` with the host's
// OpenGL.
bool OpenGlHoldsFormat(D3DFORMAT format);

}  // namespace platform::d3d9
