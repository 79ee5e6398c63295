// Draws: the render target with its depth surface, the fixed-function
// program of the states, its uniforms and textures, the render states as
// OpenGL state, the vertices and indices, and the draw.
#include <algorithm>
#include <bit>

#include "platform/d3d9/fixed_function_shaders.h"
#include "platform/d3d9/opengl_renderer.h"
#include "platform/d3d9/surface.h"
#include "platform/d3d9/texture.h"

namespace platform::d3d9 {
namespace {

GLenum Primitive(D3DPRIMITIVETYPE type) {
    switch (type) {
        case D3DPT_POINTLIST: return GL_POINTS;
        case D3DPT_LINELIST: return GL_LINES;
        case D3DPT_LINESTRIP: return GL_LINE_STRIP;
        case D3DPT_TRIANGLESTRIP: return GL_TRIANGLE_STRIP;
        case D3DPT_TRIANGLEFAN: return GL_TRIANGLE_FAN;
        default: return GL_TRIANGLES;
    }
}

GLenum Comparison(DWORD function) {
    switch (function) {
        case D3DCMP_NEVER: return GL_NEVER;
        case D3DCMP_LESS: return GL_LESS;
        case D3DCMP_EQUAL: return GL_EQUAL;
        case D3DCMP_LESSEQUAL: return GL_LEQUAL;
        case D3DCMP_GREATER: return GL_GREATER;
        case D3DCMP_NOTEQUAL: return GL_NOTEQUAL;
        case D3DCMP_GREATEREQUAL: return GL_GEQUAL;
        default: return GL_ALWAYS;
    }
}

GLenum BlendFactor(DWORD factor, GLenum otherwise) {
    switch (factor) {
        case D3DBLEND_ZERO: return GL_ZERO;
        case D3DBLEND_ONE: return GL_ONE;
        case D3DBLEND_SRCCOLOR: return GL_SRC_COLOR;
        case D3DBLEND_INVSRCCOLOR: return GL_ONE_MINUS_SRC_COLOR;
        case D3DBLEND_SRCALPHA: return GL_SRC_ALPHA;
        case D3DBLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
        case D3DBLEND_DESTALPHA: return GL_DST_ALPHA;
        case D3DBLEND_INVDESTALPHA: return GL_ONE_MINUS_DST_ALPHA;
        case D3DBLEND_DESTCOLOR: return GL_DST_COLOR;
        case D3DBLEND_INVDESTCOLOR: return GL_ONE_MINUS_DST_COLOR;
        case D3DBLEND_SRCALPHASAT: return GL_SRC_ALPHA_SATURATE;
        default: return otherwise;
    }
}

GlBlend BlendOf(const DWORD* render) {
    GlBlend blend{render[D3DRS_ALPHABLENDENABLE] != FALSE, BlendFactor(render[D3DRS_SRCBLEND], GL_ONE),
                  BlendFactor(render[D3DRS_DESTBLEND], GL_ZERO), GL_FUNC_ADD};
    // The two "both" factors set the source and the destination together.
    if (render[D3DRS_SRCBLEND] == D3DBLEND_BOTHSRCALPHA) {
        blend.source = GL_SRC_ALPHA;
        blend.destination = GL_ONE_MINUS_SRC_ALPHA;
    } else if (render[D3DRS_SRCBLEND] == D3DBLEND_BOTHINVSRCALPHA) {
        blend.source = GL_ONE_MINUS_SRC_ALPHA;
        blend.destination = GL_SRC_ALPHA;
    }
    switch (render[D3DRS_BLENDOP]) {
        case D3DBLENDOP_SUBTRACT: blend.equation = GL_FUNC_SUBTRACT; break;
        case D3DBLENDOP_REVSUBTRACT: blend.equation = GL_FUNC_REVERSE_SUBTRACT; break;
        case D3DBLENDOP_MIN: blend.equation = GL_MIN; break;
        case D3DBLENDOP_MAX: blend.equation = GL_MAX; break;
        default: break;
    }
    return blend;
}

GLint Wrap(DWORD mode) {
    switch (mode) {
        case D3DTADDRESS_MIRROR:
        case D3DTADDRESS_MIRRORONCE: return GL_MIRRORED_REPEAT;
        case D3DTADDRESS_CLAMP: return GL_CLAMP_TO_EDGE;
        case D3DTADDRESS_BORDER: return GL_CLAMP_TO_BORDER;  // the border colour is transparent black
        default: return GL_REPEAT;
    }
}

// Filters: none and point sample the nearest texel; linear, anisotropic and
// the rest blend.
GlSampling SamplingOf(const DWORD* sampler, float maxAnisotropy) {
    GlSampling sampling;
    const bool magnifyLinear = sampler[D3DSAMP_MAGFILTER] >= D3DTEXF_LINEAR;
    const bool minifyLinear = sampler[D3DSAMP_MINFILTER] >= D3DTEXF_LINEAR;
    sampling.magFilter = magnifyLinear ? GL_LINEAR : GL_NEAREST;
    switch (sampler[D3DSAMP_MIPFILTER]) {
        case D3DTEXF_NONE: sampling.minFilter = minifyLinear ? GL_LINEAR : GL_NEAREST; break;
        case D3DTEXF_POINT:
            sampling.minFilter = minifyLinear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
            break;
        default: sampling.minFilter = minifyLinear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR; break;
    }
    sampling.wrapS = Wrap(sampler[D3DSAMP_ADDRESSU]);
    sampling.wrapT = Wrap(sampler[D3DSAMP_ADDRESSV]);
    if (sampler[D3DSAMP_MINFILTER] == D3DTEXF_ANISOTROPIC || sampler[D3DSAMP_MAGFILTER] == D3DTEXF_ANISOTROPIC)
        sampling.anisotropy = std::clamp(static_cast<float>(sampler[D3DSAMP_MAXANISOTROPY]), 1.0f, maxAnisotropy);
    return sampling;
}

void Colour(D3DCOLOR colour, float* rgba) {
    rgba[0] = static_cast<float>((colour >> 16) & 0xFF) / 255.0f;
    rgba[1] = static_cast<float>((colour >> 8) & 0xFF) / 255.0f;
    rgba[2] = static_cast<float>(colour & 0xFF) / 255.0f;
    rgba[3] = static_cast<float>(colour >> 24) / 255.0f;
}

D3DMATRIX Multiply(const D3DMATRIX& a, const D3DMATRIX& b) {
    D3DMATRIX product{};
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            for (int k = 0; k < 4; ++k) product.m[row][column] += a.m[row][k] * b.m[k][column];
    return product;
}

// What a draw covers: the viewport within the scissor rectangle within the
// render target.
RECT DrawBox(const DeviceState& state, const SurfaceMemory& target) {
    const D3DVIEWPORT9& viewport = state.viewport;
    RECT box{static_cast<LONG>(viewport.X), static_cast<LONG>(viewport.Y),
             static_cast<LONG>(viewport.X + viewport.Width), static_cast<LONG>(viewport.Y + viewport.Height)};
    box.left = std::max({box.left, state.scissor.left, LONG{0}});
    box.top = std::max({box.top, state.scissor.top, LONG{0}});
    box.right = std::min({box.right, state.scissor.right, static_cast<LONG>(target.width)});
    box.bottom = std::min({box.bottom, state.scissor.bottom, static_cast<LONG>(target.height)});
    return box;
}

}  // namespace

SurfaceMemory* OpenGlRenderer::DepthFor(const DeviceState& state, const SurfaceMemory& target) {
    SurfaceMemory* depth = state.depthStencil != nullptr ? &state.depthStencil->Memory() : nullptr;
    if (depth != nullptr && (depth->width < target.width || depth->height < target.height)) return nullptr;
    return depth;
}

void OpenGlRenderer::Draw(const DeviceState& state, const DrawCall& draw) {
    // The fixed-function pipeline reads vertices by their FVF.
    if (state.fvf == 0 || !context_->MakeCurrent()) return;
    SurfaceMemory& target = state.renderTarget->Memory();
    const RECT box = DrawBox(state, target);
    if (box.left >= box.right || box.top >= box.bottom) return;
    SurfaceMemory* depth = DepthFor(state, target);
    // The textures first: bringing one up to date binds it for work, which
    // must not fall between the framebuffer and the draw.
    if (state.fvf != inputFvf_) layout_ = LayoutOfFvf(state.fvf);
    const FixedFunctionKey key = KeyOf(state, layout_);
    GlProgram* program = programs_.Of(key);
    if (program == nullptr) return;
    BindTextures(state, key);
    const GLuint framebuffer = surfaces_.Framebuffer(target, depth);
    if (framebuffer == 0) return;
    state_.DrawFramebuffer(framebuffer);
    state_.Program(program->name);
    SetUniforms(state, key, *program, target);
    SetFixedStates(state, box, depth != nullptr, layout_.pretransformed, target);
    SetVertexInput(draw, state.fvf);

    const GLenum mode = Primitive(draw.type);
    if (draw.indices == nullptr) {
        glDrawArrays(mode, 0, static_cast<GLsizei>(draw.vertexCount));
    } else {
        const bool wide = draw.indexFormat == D3DFMT_INDEX32;
        state_.ElementBuffer(indexBuffer_);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(draw.indexCount) * (wide ? 4 : 2), draw.indices,
                     GL_STREAM_DRAW);
        glDrawRangeElements(mode, draw.firstVertex, draw.firstVertex + draw.vertexCount - 1,
                            static_cast<GLsizei>(draw.indexCount), wide ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT, nullptr);
    }
    surfaces_.Drawn(target);
}

void OpenGlRenderer::BindTextures(const DeviceState& state, const FixedFunctionKey& key) {
    for (unsigned stage = 0; stage < key.stageCount; ++stage) {
        if (!StageSamples(key.stages[stage])) continue;
        GLuint name = white_;
        if (Texture* texture = state.textures[stage]) {
            SurfaceMemory& first = texture->Level(0);
            const GLuint held = surfaces_.Texture(first);
            if (held != 0) {
                surfaces_.Sample(first, SamplingOf(state.samplerStates[stage], capabilities_.maxAnisotropy));
                name = held;
            }
        }
        state_.Texture(static_cast<int>(stage), name);
    }
}

void OpenGlRenderer::SetUniforms(const DeviceState& state, const FixedFunctionKey& key, GlProgram& program,
                                 const SurfaceMemory& target) {
    const DWORD* render = state.renderStates;
    program.depthBias.Float(std::bit_cast<float>(render[D3DRS_DEPTHBIAS]));
    if (key.pretransformed) {
        // Pixel (x, y) is centred on x, y: half a pixel before OpenGL's centre.
        const float width = static_cast<float>(target.width);
        const float height = static_cast<float>(target.height);
        const float screen[4] = {2.0f / width, 2.0f / height, 1.0f / width - 1.0f, 1.0f / height - 1.0f};
        program.screen.Vec4(screen);
    } else {
        const D3DMATRIX worldView = Multiply(state.world, state.view);
        const D3DMATRIX all = Multiply(worldView, state.projection);
        program.worldViewProjection.Matrix(&all.m[0][0]);
        program.pixel.Vec2(1.0f / static_cast<float>(state.viewport.Width),
                           1.0f / static_cast<float>(state.viewport.Height));
        if (program.worldView.Present()) program.worldView.Matrix(&worldView.m[0][0]);
    }
    for (unsigned stage = 0; stage < key.stageCount; ++stage)
        if (key.stages[stage].transformCount != 0)
            program.textureMatrices[stage].Matrix(&state.textureTransforms[stage].m[0][0]);
    float factor[4];
    Colour(render[D3DRS_TEXTUREFACTOR], factor);
    program.factor.Vec4(factor);
    if (key.fog != FogKind::None) {
        float fogColour[4];
        Colour(render[D3DRS_FOGCOLOR], fogColour);
        program.fogColour.Vec3(fogColour);
        const float start = std::bit_cast<float>(render[D3DRS_FOGSTART]);
        const float end = std::bit_cast<float>(render[D3DRS_FOGEND]);
        const float fog[3] = {end, end != start ? 1.0f / (end - start) : 0.0f,
                              std::bit_cast<float>(render[D3DRS_FOGDENSITY])};
        program.fog.Vec3(fog);
    }
    program.alphaReference.Float(static_cast<float>(render[D3DRS_ALPHAREF] & 0xFFu));
}

void OpenGlRenderer::SetFixedStates(const DeviceState& state, const RECT& box, bool depth, bool pretransformed,
                                    const SurfaceMemory& target) {
    const DWORD* render = state.renderStates;
    const D3DVIEWPORT9& viewport = state.viewport;
    // Rows are kept top row first, so Direct3D's y is OpenGL's.
    if (pretransformed) {
        state_.Viewport(GlRect{0, 0, static_cast<GLsizei>(target.width), static_cast<GLsizei>(target.height)});
        state_.DepthRange(0.0, 1.0);
    } else {
        state_.Viewport(GlRect{static_cast<GLint>(viewport.X), static_cast<GLint>(viewport.Y),
                               static_cast<GLsizei>(viewport.Width), static_cast<GLsizei>(viewport.Height)});
        state_.DepthRange(viewport.MinZ, viewport.MaxZ);
    }
    state_.Scissor(true, GlRect{box.left, box.top, box.right - box.left, box.bottom - box.top});
    state_.Blend(BlendOf(render));
    // A target without alpha keeps the alpha of 1 it is held with.
    state_.ColourMask(true, HasAlpha(target.format));
    state_.Depth(GlDepth{depth && render[D3DRS_ZENABLE] != D3DZB_FALSE, Comparison(render[D3DRS_ZFUNC]),
                         render[D3DRS_ZWRITEENABLE] != FALSE});
    // Kept top row first, a triangle turning clockwise on Direct3D's screen
    // turns counter-clockwise in OpenGL's window coordinates: OpenGL's front.
    switch (render[D3DRS_CULLMODE]) {
        case D3DCULL_CW: state_.Cull(true, GL_FRONT); break;
        case D3DCULL_CCW: state_.Cull(true, GL_BACK); break;
        default: state_.Cull(false, GL_BACK); break;
    }
    state_.ShadeModel(render[D3DRS_SHADEMODE] == D3DSHADE_FLAT ? GL_FLAT : GL_SMOOTH);
}

void OpenGlRenderer::SetVertexInput(const DrawCall& draw, DWORD fvf) {
    state_.ArrayBuffer(vertexBuffer_);
    // A fresh store each draw, so that no draw waits for the one before.
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(draw.firstVertex + draw.vertexCount) * draw.stride,
                 draw.vertices, GL_STREAM_DRAW);
    if (fvf == inputFvf_ && draw.stride == inputStride_) return;
    inputFvf_ = fvf;
    inputStride_ = draw.stride;
    const GLsizei stride = static_cast<GLsizei>(draw.stride);
    const auto at = [](uint32_t offset) { return reinterpret_cast<const void*>(static_cast<uintptr_t>(offset)); };
    glEnableVertexAttribArray(attribute::kPosition);
    glVertexAttribPointer(attribute::kPosition, static_cast<GLint>(layout_.positionFloats), GL_FLOAT, GL_FALSE, stride,
                          at(0));
    // A vertex without colours is opaque white, without a specular colour black.
    const struct {
        GLuint index;
        uint32_t offset;
        GLfloat absent;
    } colours[2] = {{attribute::kDiffuse, layout_.diffuse, 1.0f}, {attribute::kSpecular, layout_.specular, 0.0f}};
    for (const auto& colour : colours) {
        if (colour.offset == FvfLayout::kNone) {
            glDisableVertexAttribArray(colour.index);
            glVertexAttrib4f(colour.index, colour.absent, colour.absent, colour.absent, colour.absent);
        } else {
            glEnableVertexAttribArray(colour.index);
            glVertexAttribPointer(colour.index, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride, at(colour.offset));
        }
    }
    for (uint32_t set = 0; set < 8; ++set) {
        const GLuint index = attribute::kTexCoord0 + set;
        if (set < layout_.texCoordSets) {
            glEnableVertexAttribArray(index);
            glVertexAttribPointer(index, static_cast<GLint>(layout_.texCoordFloats[set]), GL_FLOAT, GL_FALSE, stride,
                                  at(layout_.texCoords[set]));
        } else {
            glDisableVertexAttribArray(index);
        }
    }
}

}  // namespace platform::d3d9
