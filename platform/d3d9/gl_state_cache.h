// The OpenGL state the renderer last set in its context, so that a draw
// sends only what changed: each setter calls OpenGL only when the value
// differs. Objects the renderer deletes are forgotten, so that a new object
// that gets the same name is bound again. Private to platform/d3d9's OpenGL
// renderer.
#pragma once

#include <cstdint>

#include "platform/d3d9/gl_api.h"

namespace platform::d3d9 {

struct GlRect {
    GLint x, y;
    GLsizei width, height;
    bool operator==(const GlRect&) const = default;
};

struct GlBlend {
    bool enabled;
    GLenum source, destination, equation;
    bool operator==(const GlBlend&) const = default;
};

struct GlDepth {
    bool test;
    GLenum function;
    bool write;
    bool operator==(const GlDepth&) const = default;
};

class GlStateCache {
public:
    static constexpr int kUnits = 8;

    void DrawFramebuffer(GLuint framebuffer);
    void ReadFramebuffer(GLuint framebuffer);
    void Program(GLuint program);
    void ArrayBuffer(GLuint buffer);
    void ElementBuffer(GLuint buffer);
    void Texture(int unit, GLuint texture);
    // Binds `texture` on a unit for work on it (uploads, parameters) that
    // leaves the draw's units as they are.
    void TextureForWork(GLuint texture) { Texture(kUnits, texture); }

    void Scissor(bool enabled, const GlRect& box = {});
    void Viewport(const GlRect& box);
    void Blend(const GlBlend& blend);
    void Depth(const GlDepth& depth);
    void DepthRange(double nearest, double farthest);
    void Cull(bool enabled, GLenum face);
    void ShadeModel(GLenum model);
    // Colour and depth writes on, as clears need them (draws set depth
    // writes again through Depth).
    void AllWrites();
    // Writes of red, green and blue, and of alpha.
    void ColourMask(bool colour, bool alpha);

    void ForgetTexture(GLuint texture);
    void ForgetFramebuffer(GLuint framebuffer);
    void ForgetProgram(GLuint program);
    void ForgetBuffer(GLuint buffer);

private:
    static constexpr GLuint kUnknown = ~GLuint{0};

    void ActiveUnit(int unit);

    GLuint drawFramebuffer_ = kUnknown;
    GLuint readFramebuffer_ = kUnknown;
    GLuint program_ = kUnknown;
    GLuint arrayBuffer_ = kUnknown;
    GLuint elementBuffer_ = kUnknown;
    GLuint textures_[kUnits + 1] = {kUnknown, kUnknown, kUnknown, kUnknown, kUnknown,
                                    kUnknown, kUnknown, kUnknown, kUnknown};
    int activeUnit_ = -1;

    // A new context's own values.
    bool scissorEnabled_ = false;
    GlRect scissor_{-1, -1, -1, -1};
    GlRect viewport_{-1, -1, -1, -1};
    GlBlend blend_{false, GL_ONE, GL_ZERO, GL_FUNC_ADD};
    GlDepth depth_{false, GL_LESS, true};
    double depthNear_ = 0.0;
    double depthFar_ = 1.0;
    bool cullEnabled_ = false;
    GLenum cullFace_ = GL_BACK;
    GLenum shadeModel_ = GL_SMOOTH;
    bool colourWrites_ = true;
    bool alphaWrites_ = true;
};

}  // namespace platform::d3d9
