// How the OpenGL renderer holds each surface format: the internal format of
// its texture or renderbuffer, and the format and type that describe its
// bytes in memory, so that uploads and read-backs move the rows as they lie.
// Formats of 8 bits or fewer per channel are held with 8 bits per channel.
// The 32-bit formats without alpha, and the 16-bit ones a screen may have,
// are held with an alpha channel kept at 1 (uploads write 1, draws leave it,
// clears and copies put it back), so that their read-backs are plain copies
// of four bytes a pixel (which the 16-bit ones then pack) and blending reads
// a destination alpha of 1 from them, as from the other formats without
// alpha, which are held without. Private to platform/d3d9's OpenGL renderer.
#pragma once

#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/formats.h"
#include "platform/d3d9/gl_api.h"

namespace platform::d3d9 {

struct GlFormat {
    enum class Kind { Colour, Compressed, Depth };

    D3DFORMAT format;
    Kind kind;
    GLenum internalFormat;
    GLenum pixelFormat;  // colour formats: the bytes in memory
    GLenum pixelType;
    GLenum attachment;  // depth formats: where a framebuffer takes them
    bool alphaOne;      // held with an alpha channel kept at 1
};

// Whether a surface format has alpha that draws write.
inline bool HasAlpha(const FormatInfo& format) { return format.alpha != 0; }

// Null for a format the renderer does not hold (whatever the context).
const GlFormat* GlFormatOf(D3DFORMAT format);

}  // namespace platform::d3d9
