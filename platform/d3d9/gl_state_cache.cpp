// Setting OpenGL state only where it changes.
#include "platform/d3d9/gl_state_cache.h"

namespace platform::d3d9 {

void GlStateCache::DrawFramebuffer(GLuint framebuffer) {
    if (drawFramebuffer_ == framebuffer) return;
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer);
    drawFramebuffer_ = framebuffer;
}

void GlStateCache::ReadFramebuffer(GLuint framebuffer) {
    if (readFramebuffer_ == framebuffer) return;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    readFramebuffer_ = framebuffer;
}

void GlStateCache::Program(GLuint program) {
    if (program_ == program) return;
    glUseProgram(program);
    program_ = program;
}

void GlStateCache::ArrayBuffer(GLuint buffer) {
    if (arrayBuffer_ == buffer) return;
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    arrayBuffer_ = buffer;
}

void GlStateCache::ElementBuffer(GLuint buffer) {
    if (elementBuffer_ == buffer) return;
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer);
    elementBuffer_ = buffer;
}

void GlStateCache::ActiveUnit(int unit) {
    if (activeUnit_ == unit) return;
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
    activeUnit_ = unit;
}

void GlStateCache::Texture(int unit, GLuint texture) {
    if (textures_[unit] == texture) {
        // Work on a texture needs its unit active even when it is bound.
        if (unit == kUnits) ActiveUnit(unit);
        return;
    }
    ActiveUnit(unit);
    glBindTexture(GL_TEXTURE_2D, texture);
    textures_[unit] = texture;
}

void GlStateCache::Scissor(bool enabled, const GlRect& box) {
    if (enabled != scissorEnabled_) {
        if (enabled)
            glEnable(GL_SCISSOR_TEST);
        else
            glDisable(GL_SCISSOR_TEST);
        scissorEnabled_ = enabled;
    }
    if (enabled && !(box == scissor_)) {
        glScissor(box.x, box.y, box.width, box.height);
        scissor_ = box;
    }
}

void GlStateCache::Viewport(const GlRect& box) {
    if (box == viewport_) return;
    glViewport(box.x, box.y, box.width, box.height);
    viewport_ = box;
}

void GlStateCache::Blend(const GlBlend& blend) {
    if (blend.enabled != blend_.enabled) {
        if (blend.enabled)
            glEnable(GL_BLEND);
        else
            glDisable(GL_BLEND);
        blend_.enabled = blend.enabled;
    }
    if (!blend.enabled) return;
    if (blend.source != blend_.source || blend.destination != blend_.destination) {
        glBlendFunc(blend.source, blend.destination);
        blend_.source = blend.source;
        blend_.destination = blend.destination;
    }
    if (blend.equation != blend_.equation) {
        glBlendEquation(blend.equation);
        blend_.equation = blend.equation;
    }
}

void GlStateCache::Depth(const GlDepth& depth) {
    if (depth.test != depth_.test) {
        if (depth.test)
            glEnable(GL_DEPTH_TEST);
        else
            glDisable(GL_DEPTH_TEST);
        depth_.test = depth.test;
    }
    if (!depth.test) return;
    if (depth.function != depth_.function) {
        glDepthFunc(depth.function);
        depth_.function = depth.function;
    }
    if (depth.write != depth_.write) {
        glDepthMask(depth.write ? GL_TRUE : GL_FALSE);
        depth_.write = depth.write;
    }
}

void GlStateCache::DepthRange(double nearest, double farthest) {
    if (nearest == depthNear_ && farthest == depthFar_) return;
    glDepthRange(nearest, farthest);
    depthNear_ = nearest;
    depthFar_ = farthest;
}

void GlStateCache::Cull(bool enabled, GLenum face) {
    if (enabled != cullEnabled_) {
        if (enabled)
            glEnable(GL_CULL_FACE);
        else
            glDisable(GL_CULL_FACE);
        cullEnabled_ = enabled;
    }
    if (enabled && face != cullFace_) {
        glCullFace(face);
        cullFace_ = face;
    }
}

void GlStateCache::ShadeModel(GLenum model) {
    if (model == shadeModel_) return;
    glShadeModel(model);
    shadeModel_ = model;
}

void GlStateCache::AllWrites() {
    ColourMask(true, true);
    if (!depth_.write) {
        glDepthMask(GL_TRUE);
        depth_.write = true;
    }
}

void GlStateCache::ColourMask(bool colour, bool alpha) {
    if (colour == colourWrites_ && alpha == alphaWrites_) return;
    const GLboolean writes = colour ? GL_TRUE : GL_FALSE;
    glColorMask(writes, writes, writes, alpha ? GL_TRUE : GL_FALSE);
    colourWrites_ = colour;
    alphaWrites_ = alpha;
}

void GlStateCache::ForgetTexture(GLuint texture) {
    for (GLuint& bound : textures_)
        if (bound == texture) bound = kUnknown;
}

void GlStateCache::ForgetFramebuffer(GLuint framebuffer) {
    if (drawFramebuffer_ == framebuffer) drawFramebuffer_ = kUnknown;
    if (readFramebuffer_ == framebuffer) readFramebuffer_ = kUnknown;
}

void GlStateCache::ForgetProgram(GLuint program) {
    if (program_ == program) program_ = kUnknown;
}

void GlStateCache::ForgetBuffer(GLuint buffer) {
    if (arrayBuffer_ == buffer) arrayBuffer_ = kUnknown;
    if (elementBuffer_ == buffer) elementBuffer_ = kUnknown;
}

}  // namespace platform::d3d9
