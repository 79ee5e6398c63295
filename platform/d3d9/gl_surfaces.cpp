// Surfaces' copies in OpenGL: made at first use, uploaded when their bytes
// move on, read back when the device reads the bytes.
#include "platform/d3d9/gl_surfaces.h"

#include <cstring>
#include <vector>

namespace platform::d3d9 {
namespace {

bool IsCompressed(const GlFormat& format) { return format.kind == GlFormat::Kind::Compressed; }

// Rows in memory start on 4 bytes and follow one another without a gap, as
// OpenGL's default packing has them.
void TightRows() {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
}

// While one is held, uploads of a format kept with an alpha of 1 write 1
// whatever the bytes' unused bits hold. Bytes without an alpha channel at all
// are given 1 by OpenGL itself, on its faster path.
class AlphaOneUploads {
public:
    explicit AlphaOneUploads(const GlFormat& format) : on_(format.alphaOne && format.pixelFormat != GL_RGB) {
        if (!on_) return;
        glPixelTransferf(GL_ALPHA_SCALE, 0.0f);
        glPixelTransferf(GL_ALPHA_BIAS, 1.0f);
    }
    ~AlphaOneUploads() {
        if (!on_) return;
        glPixelTransferf(GL_ALPHA_SCALE, 1.0f);
        glPixelTransferf(GL_ALPHA_BIAS, 0.0f);
    }
    AlphaOneUploads(const AlphaOneUploads&) = delete;
    AlphaOneUploads& operator=(const AlphaOneUploads&) = delete;

private:
    bool on_;
};

void ImageLevel(const GlFormat& format, const SurfaceMemory& surface, GLint level) {
    const AlphaOneUploads alphaOne(format);
    const GLsizei width = static_cast<GLsizei>(surface.width);
    const GLsizei height = static_cast<GLsizei>(surface.height);
    if (IsCompressed(format)) {
        glCompressedTexImage2D(GL_TEXTURE_2D, level, format.internalFormat, width, height, 0,
                               static_cast<GLsizei>(surface.layout.size), surface.bytes.data());
    } else {
        glTexImage2D(GL_TEXTURE_2D, level, static_cast<GLint>(format.internalFormat), width, height, 0,
                     format.pixelFormat, format.pixelType, surface.bytes.data());
    }
}

}  // namespace

GlSurfaces::~GlSurfaces() {
    for (auto& [surface, held] : held_)
        if (held.framebuffer != 0) glDeleteFramebuffers(1, &held.framebuffer);
    for (auto& [key, image] : images_) DeleteImage(*image);
}

void GlSurfaces::DeleteImage(Image& image) {
    if (image.texture != 0) {
        state_.ForgetTexture(image.texture);
        glDeleteTextures(1, &image.texture);
    }
    if (image.renderbuffer != 0) glDeleteRenderbuffers(1, &image.renderbuffer);
}

void GlSurfaces::MakeImage(SurfaceMemory& surface) {
    auto image = std::make_unique<Image>();
    image->format = GlFormatOf(surface.format.format);
    if (image->format->kind == GlFormat::Kind::Depth) {
        glGenRenderbuffers(1, &image->renderbuffer);
        glBindRenderbuffer(GL_RENDERBUFFER, image->renderbuffer);
        glRenderbufferStorage(GL_RENDERBUFFER, image->format->internalFormat, static_cast<GLsizei>(surface.width),
                              static_cast<GLsizei>(surface.height));
        image->users = 1;
        held_[&surface] = Held{image.get(), surface.generation};
        images_.emplace(image.get(), std::move(image));
        return;
    }
    // A texture's levels are one texture; any other surface is one of its own.
    std::vector<SurfaceMemory*> levels;
    if (surface.textureLevels.empty()) {
        levels.push_back(&surface);
    } else {
        for (const auto& level : surface.textureLevels) levels.push_back(level.get());
    }
    glGenTextures(1, &image->texture);
    state_.TextureForWork(image->texture);
    TightRows();
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levels.size() - 1));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, image->sampling.minFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, image->sampling.magFilter);
    for (size_t level = 0; level < levels.size(); ++level) {
        ImageLevel(*image->format, *levels[level], static_cast<GLint>(level));
        held_[levels[level]] = Held{image.get(), levels[level]->generation};
    }
    image->users = static_cast<uint32_t>(levels.size());
    images_.emplace(image.get(), std::move(image));
}

GlSurfaces::Held* GlSurfaces::Hold(SurfaceMemory& surface) {
    auto found = held_.find(&surface);
    if (found == held_.end()) {
        if (GlFormatOf(surface.format.format) == nullptr) return nullptr;
        MakeImage(surface);
        found = held_.find(&surface);
    }
    Held& held = found->second;
    if (held.generation != surface.generation) Upload(surface, held);
    return &held;
}

void GlSurfaces::Upload(SurfaceMemory& surface, Held& held) {
    const GlFormat& format = *held.image->format;
    held.generation = surface.generation;
    held.newerInGl = false;
    if (format.kind == GlFormat::Kind::Depth) return;
    state_.TextureForWork(held.image->texture);
    TightRows();
    const GLint level = static_cast<GLint>(surface.level);
    const GLsizei width = static_cast<GLsizei>(surface.width);
    const GLsizei height = static_cast<GLsizei>(surface.height);
    const AlphaOneUploads alphaOne(format);
    if (IsCompressed(format)) {
        glCompressedTexSubImage2D(GL_TEXTURE_2D, level, 0, 0, width, height, format.internalFormat,
                                  static_cast<GLsizei>(surface.layout.size), surface.bytes.data());
    } else {
        glTexSubImage2D(GL_TEXTURE_2D, level, 0, 0, width, height, format.pixelFormat, format.pixelType,
                        surface.bytes.data());
    }
}

GLuint GlSurfaces::Texture(SurfaceMemory& surface) {
    Held* held = Hold(surface);
    if (held == nullptr) return 0;
    // Every level a draw may sample is brought up to date, not only this one.
    for (const auto& level : surface.textureLevels)
        if (level.get() != &surface) Hold(*level);
    return held->image->texture;
}

GLuint GlSurfaces::Framebuffer(SurfaceMemory& surface) {
    Held* held = Hold(surface);
    if (held == nullptr || held->image->texture == 0) return 0;
    if (held->framebuffer == 0) {
        glGenFramebuffers(1, &held->framebuffer);
        state_.DrawFramebuffer(held->framebuffer);
        glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, held->image->texture,
                               static_cast<GLint>(surface.level));
    }
    return held->framebuffer;
}

GLuint GlSurfaces::Framebuffer(SurfaceMemory& surface, SurfaceMemory* depth) {
    const GLuint framebuffer = Framebuffer(surface);
    if (framebuffer == 0) return 0;
    Held& held = held_.find(&surface)->second;
    if (held.depth != depth) AttachDepth(held, depth);
    return framebuffer;
}

void GlSurfaces::AttachDepth(Held& held, SurfaceMemory* depth) {
    Held* depthHeld = depth != nullptr ? Hold(*depth) : nullptr;
    state_.DrawFramebuffer(held.framebuffer);
    // Detaching from the depth-stencil point detaches depth and stencil both.
    glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, 0);
    if (depthHeld != nullptr && depthHeld->image->renderbuffer != 0) {
        glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, depthHeld->image->format->attachment, GL_RENDERBUFFER,
                                  depthHeld->image->renderbuffer);
    }
    held.depth = depth;
}

void GlSurfaces::Drawn(SurfaceMemory& surface) {
    auto found = held_.find(&surface);
    if (found != held_.end()) found->second.newerInGl = true;
}

void GlSurfaces::Sample(SurfaceMemory& surface, const GlSampling& sampling) {
    auto found = held_.find(&surface);
    if (found == held_.end()) return;
    Image& image = *found->second.image;
    if (image.sampling == sampling) return;
    state_.TextureForWork(image.texture);
    const GlSampling& was = image.sampling;
    if (sampling.minFilter != was.minFilter) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, sampling.minFilter);
    if (sampling.magFilter != was.magFilter) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, sampling.magFilter);
    if (sampling.wrapS != was.wrapS) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, sampling.wrapS);
    if (sampling.wrapT != was.wrapT) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, sampling.wrapT);
    if (sampling.anisotropy != was.anisotropy)
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, sampling.anisotropy);
    image.sampling = sampling;
}

void GlSurfaces::ReadPixels(SurfaceMemory& surface, BYTE* bytes) {
    Held* held = Hold(surface);
    if (held == nullptr || held->image->texture == 0) return;
    const GlFormat& format = *held->image->format;
    // Asked first: the first ask binds a texture of its own.
    const PixelPacker* packer = IsCompressed(format) ? nullptr : Packer(format);
    state_.TextureForWork(held->image->texture);
    TightRows();
    const GLint level = static_cast<GLint>(surface.level);
    if (IsCompressed(format)) {
        glGetCompressedTexImage(GL_TEXTURE_2D, level, bytes);
    } else if (packer != nullptr) {
        // The channels as bytes (OpenGL copies them nearly as they lie),
        // then packed row by row into the surface's layout.
        const size_t width = surface.width;
        channels_.resize(width * surface.height * 4);
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, channels_.data());
        for (size_t row = 0; row < surface.height; ++row)
            packer->Pack(channels_.data() + row * width * 4, bytes + row * surface.layout.pitch, width);
    } else {
        glGetTexImage(GL_TEXTURE_2D, level, format.pixelFormat, format.pixelType, bytes);
    }
}

const PixelPacker* GlSurfaces::Packer(const GlFormat& format) {
    auto found = packers_.find(&format);
    if (found != packers_.end()) return found->second.get();
    std::unique_ptr<PixelPacker> packer;
    if (const PackedLayout* layout = PackedLayoutOf(format.format)) {
        packer = std::make_unique<PixelPacker>(*layout);
        if (!PacksAsOpenGl(*packer, format)) packer.reset();
    }
    return packers_.emplace(&format, std::move(packer)).first->second.get();
}

// Channels are packed one by one, so a ramp on which each channel takes
// every value shows all the packing does: it is read back as bytes and
// packed here, and read back packed by OpenGL, and the two must match.
bool GlSurfaces::PacksAsOpenGl(const PixelPacker& packer, const GlFormat& format) {
    constexpr size_t kValues = 256;
    BYTE ramp[kValues * 4];
    for (size_t value = 0; value < kValues; ++value) {
        ramp[value * 4 + 0] = static_cast<BYTE>(value);
        ramp[value * 4 + 1] = static_cast<BYTE>(255 - value);
        ramp[value * 4 + 2] = static_cast<BYTE>(value ^ 0xA5);
        ramp[value * 4 + 3] = static_cast<BYTE>(value ^ 0x3C);
    }
    GLuint texture = 0;
    glGenTextures(1, &texture);
    state_.TextureForWork(texture);
    TightRows();
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kValues, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, ramp);
    BYTE channels[kValues * 4] = {};
    BYTE fromOpenGl[kValues * 2] = {};
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, channels);
    glGetTexImage(GL_TEXTURE_2D, 0, format.pixelFormat, format.pixelType, fromOpenGl);
    state_.ForgetTexture(texture);
    glDeleteTextures(1, &texture);
    BYTE packed[kValues * 2] = {};
    packer.Pack(channels, packed, kValues);
    return std::memcmp(ramp, channels, sizeof(ramp)) == 0 && std::memcmp(packed, fromOpenGl, sizeof(packed)) == 0;
}

void GlSurfaces::ReadBack(SurfaceMemory& surface) {
    auto found = held_.find(&surface);
    if (found == held_.end() || !found->second.newerInGl) return;
    ReadPixels(surface, surface.bytes.data());
    found->second.newerInGl = false;
    found->second.generation = surface.generation;
}

void GlSurfaces::WriteRect(const SurfaceMemory& source, const RECT& rect, SurfaceMemory& destination, POINT at) {
    Held* held = Hold(destination);
    if (held == nullptr || held->image->texture == 0) return;
    const GlFormat& format = *held->image->format;
    state_.TextureForWork(held->image->texture);
    const GLint level = static_cast<GLint>(destination.level);
    const GLsizei width = rect.right - rect.left;
    const GLsizei height = rect.bottom - rect.top;
    const BYTE* first = const_cast<SurfaceMemory&>(source).At(rect.left, rect.top);
    if (IsCompressed(format)) {
        // Whole rows of blocks: the rectangle starts on a block and the
        // rows between its blocks are the source's.
        const GLsizei blockRows = (height + 3) / 4;
        std::vector<BYTE> blocks;
        const size_t rowBytes = size_t((width + 3) / 4) * source.format.blockBytes;
        for (GLsizei row = 0; row < blockRows; ++row)
            blocks.insert(blocks.end(), first + row * source.layout.pitch, first + row * source.layout.pitch + rowBytes);
        glCompressedTexSubImage2D(GL_TEXTURE_2D, level, at.x, at.y, width, height, format.internalFormat,
                                  static_cast<GLsizei>(blocks.size()), blocks.data());
    } else {
        // The source's rows: its width, each row starting on 4 bytes.
        const AlphaOneUploads alphaOne(format);
        TightRows();
        glPixelStorei(GL_UNPACK_ROW_LENGTH, static_cast<GLint>(source.width));
        glTexSubImage2D(GL_TEXTURE_2D, level, at.x, at.y, width, height, format.pixelFormat, format.pixelType, first);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    }
    held->newerInGl = true;
}

void GlSurfaces::Abandon() {
    held_.clear();
    images_.clear();
}

void GlSurfaces::Released(SurfaceMemory& surface, bool current) {
    auto found = held_.find(&surface);
    if (found == held_.end()) return;
    Held& held = found->second;
    if (held.framebuffer != 0 && current) {
        state_.ForgetFramebuffer(held.framebuffer);
        glDeleteFramebuffers(1, &held.framebuffer);
    }
    Image* image = held.image;
    held_.erase(found);
    // A depth surface goes from the framebuffers it is attached to.
    for (auto& [other, otherHeld] : held_) {
        if (otherHeld.depth != &surface) continue;
        if (current)
            AttachDepth(otherHeld, nullptr);
        else
            otherHeld.depth = nullptr;
    }
    if (--image->users == 0) {
        if (current) DeleteImage(*image);
        images_.erase(image);
    }
}

}  // namespace platform::d3d9
