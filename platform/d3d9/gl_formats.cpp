// The formats the OpenGL renderer holds.
#include "platform/d3d9/gl_formats.h"

#include "platform/d3d9/gl_capabilities.h"

namespace platform::d3d9 {
namespace {

using Kind = GlFormat::Kind;

constexpr GlFormat kFormats[] = {
    {D3DFMT_R8G8B8, Kind::Colour, GL_RGB8, GL_BGR, GL_UNSIGNED_BYTE, 0, false},
    {D3DFMT_A8R8G8B8, Kind::Colour, GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, 0, false},
    {D3DFMT_X8R8G8B8, Kind::Colour, GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, 0, true},
    {D3DFMT_R5G6B5, Kind::Colour, GL_RGBA8, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, 0, true},
    {D3DFMT_X1R5G5B5, Kind::Colour, GL_RGBA8, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, 0, true},
    {D3DFMT_A1R5G5B5, Kind::Colour, GL_RGBA8, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, 0, false},
    {D3DFMT_A4R4G4B4, Kind::Colour, GL_RGBA8, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV, 0, false},
    {D3DFMT_R3G3B2, Kind::Colour, GL_RGB8, GL_RGB, GL_UNSIGNED_BYTE_3_3_2, 0, false},
    {D3DFMT_X4R4G4B4, Kind::Colour, GL_RGB8, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV, 0, false},
    {D3DFMT_A2B10G10R10, Kind::Colour, GL_RGB10_A2, GL_RGBA, GL_UNSIGNED_INT_2_10_10_10_REV, 0, false},
    {D3DFMT_A8B8G8R8, Kind::Colour, GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE, 0, false},
    {D3DFMT_X8B8G8R8, Kind::Colour, GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE, 0, true},
    {D3DFMT_A2R10G10B10, Kind::Colour, GL_RGB10_A2, GL_BGRA, GL_UNSIGNED_INT_2_10_10_10_REV, 0, false},
    // The premultiplied kinds have the blocks of the plain ones.
    {D3DFMT_DXT1, Kind::Compressed, GL_COMPRESSED_RGBA_S3TC_DXT1_EXT, 0, 0, 0, false},
    {D3DFMT_DXT2, Kind::Compressed, GL_COMPRESSED_RGBA_S3TC_DXT3_EXT, 0, 0, 0, false},
    {D3DFMT_DXT3, Kind::Compressed, GL_COMPRESSED_RGBA_S3TC_DXT3_EXT, 0, 0, 0, false},
    {D3DFMT_DXT4, Kind::Compressed, GL_COMPRESSED_RGBA_S3TC_DXT5_EXT, 0, 0, 0, false},
    {D3DFMT_DXT5, Kind::Compressed, GL_COMPRESSED_RGBA_S3TC_DXT5_EXT, 0, 0, 0, false},
    {D3DFMT_D16, Kind::Depth, GL_DEPTH_COMPONENT16, 0, 0, GL_DEPTH_ATTACHMENT, false},
    {D3DFMT_D24X8, Kind::Depth, GL_DEPTH_COMPONENT24, 0, 0, GL_DEPTH_ATTACHMENT, false},
    {D3DFMT_D24S8, Kind::Depth, GL_DEPTH24_STENCIL8, 0, 0, GL_DEPTH_STENCIL_ATTACHMENT, false},
    {D3DFMT_D32, Kind::Depth, GL_DEPTH_COMPONENT32, 0, 0, GL_DEPTH_ATTACHMENT, false},
};

}  // namespace

const GlFormat* GlFormatOf(D3DFORMAT format) {
    for (const GlFormat& held : kFormats)
        if (held.format == format) return &held;
    return nullptr;
}

bool OpenGlHoldsFormat(D3DFORMAT format) {
    const GlFormat* held = GlFormatOf(format);
    if (held == nullptr) return false;
    return held->kind != GlFormat::Kind::Compressed || HostOpenGl().s3tc;
}

}  // namespace platform::d3d9
