// The fixed-function programs of a context, compiled from their keys the
// first time a draw needs them and kept for the context's life, with their
// uniforms, each sent only when its value changes. Private to platform/d3d9's
// OpenGL renderer.
#pragma once

#include <memory>
#include <unordered_map>

#include "platform/d3d9/fixed_function_key.h"
#include "platform/d3d9/gl_api.h"
#include "platform/d3d9/gl_state_cache.h"

namespace platform::d3d9 {

// A uniform of a program: its location (-1 when the program has none such)
// and the value it was last sent.
class GlUniform {
public:
    void Find(GLuint program, const char* name) { location_ = glGetUniformLocation(program, name); }
    bool Present() const { return location_ >= 0; }
    void Float(float value);
    void Vec2(float x, float y);
    void Vec3(const float* values);
    void Vec4(const float* values);
    // A Direct3D matrix, rows as GLSL's columns, so that the shader's
    // matrix * vector is Direct3D's vector * matrix.
    void Matrix(const float* values);

private:
    bool Changed(const float* values, int count);

    GLint location_ = -1;
    bool sent_ = false;
    float last_[16] = {};
};

struct GlProgram {
    GLuint name = 0;
    GlUniform screen, worldViewProjection, pixel, depthBias, worldView, fog, factor, fogColour, alphaReference;
    GlUniform textureMatrices[8];
};

class GlPrograms {
public:
    explicit GlPrograms(GlStateCache& state) : state_(state) {}
    // Deletes the programs; the context must be current.
    ~GlPrograms();

    GlPrograms(const GlPrograms&) = delete;
    GlPrograms& operator=(const GlPrograms&) = delete;

    // The program of a key; null when it cannot be built (the draw is then
    // left out).
    GlProgram* Of(const FixedFunctionKey& key);
    // Forgets every program without a call to OpenGL (see GlSurfaces).
    void Abandon() {
        programs_.clear();
        last_ = nullptr;
    }

private:
    GlStateCache& state_;
    std::unordered_map<FixedFunctionKey, std::unique_ptr<GlProgram>, FixedFunctionKeyHash> programs_;
    // The last key asked for: a run of draws in one state asks for it again.
    FixedFunctionKey lastKey_{};
    GlProgram* last_ = nullptr;
};

}  // namespace platform::d3d9
