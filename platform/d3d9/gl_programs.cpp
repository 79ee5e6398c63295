// Building, caching and feeding the fixed-function programs.
#include "platform/d3d9/gl_programs.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/d3d9/fixed_function_shaders.h"

namespace platform::d3d9 {
namespace {

GLuint Compile(GLenum type, const std::string& source) {
    const GLuint shader = glCreateShader(type);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled != GL_TRUE) {
        char log[1024] = {};
        glGetShaderInfoLog(shader, sizeof(log), nullptr, log);
        std::fprintf(stderr, "d3d9: a fixed-function shader does not compile: %s\n%s", log, text);
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

std::unique_ptr<GlProgram> Build(const FixedFunctionKey& key, GlStateCache& state) {
    const FixedFunctionSources sources = FixedFunctionShaders(key);
    const GLuint vertex = Compile(GL_VERTEX_SHADER, sources.vertex);
    const GLuint fragment = Compile(GL_FRAGMENT_SHADER, sources.fragment);
    if (vertex == 0 || fragment == 0) {
        if (vertex != 0) glDeleteShader(vertex);
        if (fragment != 0) glDeleteShader(fragment);
        return nullptr;
    }
    auto program = std::make_unique<GlProgram>();
    const GLuint name = glCreateProgram();
    program->name = name;
    glAttachShader(name, vertex);
    glAttachShader(name, fragment);
    glBindAttribLocation(name, attribute::kPosition, "aPosition");
    glBindAttribLocation(name, attribute::kDiffuse, "aDiffuse");
    glBindAttribLocation(name, attribute::kSpecular, "aSpecular");
    for (unsigned set = 0; set < 8; ++set)
        glBindAttribLocation(name, attribute::kTexCoord0 + set, ("aTexCoord" + std::to_string(set)).c_str());
    glLinkProgram(name);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint linked = GL_FALSE;
    glGetProgramiv(name, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        char log[1024] = {};
        glGetProgramInfoLog(name, sizeof(log), nullptr, log);
        std::fprintf(stderr, "d3d9: a fixed-function program does not link: %s\n", log);
        glDeleteProgram(name);
        return nullptr;
    }
    program->screen.Find(name, "uScreen");
    program->worldViewProjection.Find(name, "uWorldViewProjection");
    program->pixel.Find(name, "uPixel");
    program->depthBias.Find(name, "uDepthBias");
    program->worldView.Find(name, "uWorldView");
    program->fog.Find(name, "uFog");
    program->factor.Find(name, "uFactor");
    program->fogColour.Find(name, "uFogColour");
    program->alphaReference.Find(name, "uAlphaReference");
    // Each stage samples the texture unit of its own number.
    state.Program(name);
    for (unsigned stage = 0; stage < 8; ++stage) {
        const std::string number = std::to_string(stage);
        program->textureMatrices[stage].Find(name, ("uTextureMatrix" + number).c_str());
        const GLint sampler = glGetUniformLocation(name, ("uTexture" + number).c_str());
        if (sampler >= 0) glUniform1i(sampler, static_cast<GLint>(stage));
    }
    return program;
}

}  // namespace

bool GlUniform::Changed(const float* values, int count) {
    if (sent_ && std::memcmp(last_, values, sizeof(float) * static_cast<size_t>(count)) == 0) return false;
    std::memcpy(last_, values, sizeof(float) * static_cast<size_t>(count));
    sent_ = true;
    return true;
}

void GlUniform::Float(float value) {
    if (Present() && Changed(&value, 1)) glUniform1f(location_, value);
}

void GlUniform::Vec2(float x, float y) {
    const float values[2] = {x, y};
    if (Present() && Changed(values, 2)) glUniform2fv(location_, 1, values);
}

void GlUniform::Vec3(const float* values) {
    if (Present() && Changed(values, 3)) glUniform3fv(location_, 1, values);
}

void GlUniform::Vec4(const float* values) {
    if (Present() && Changed(values, 4)) glUniform4fv(location_, 1, values);
}

void GlUniform::Matrix(const float* values) {
    if (Present() && Changed(values, 16)) glUniformMatrix4fv(location_, 1, GL_FALSE, values);
}

GlPrograms::~GlPrograms() {
    for (auto& [key, program] : programs_)
        if (program != nullptr) glDeleteProgram(program->name);
}

GlProgram* GlPrograms::Of(const FixedFunctionKey& key) {
    if (last_ != nullptr && key == lastKey_) return last_;
    auto found = programs_.find(key);
    // A key that failed to build stays as null, so it is not tried again.
    if (found == programs_.end()) found = programs_.emplace(key, Build(key, state_)).first;
    lastKey_ = key;
    last_ = found->second.get();
    return last_;
}

}  // namespace platform::d3d9
