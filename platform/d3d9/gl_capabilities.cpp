// Finding what the host's OpenGL offers, once.
#include "platform/d3d9/gl_capabilities.h"

#include <cstdio>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>

#include "platform/d3d9/gl_api.h"
#include "platform/d3d9/gl_context.h"

namespace platform::d3d9 {
namespace {

bool HasExtension(const char* name) {
    GLint count = 0;
    glGetIntegerv(GL_NUM_EXTENSIONS, &count);
    if (glGetError() == GL_NO_ERROR && count > 0) {
        for (GLint i = 0; i < count; ++i) {
            const char* extension = reinterpret_cast<const char*>(glGetStringi(GL_EXTENSIONS, static_cast<GLuint>(i)));
            if (extension != nullptr && std::strcmp(extension, name) == 0) return true;
        }
        return false;
    }
    // Before 3.0 the list is one string of names between spaces.
    const char* all = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (all == nullptr) return false;
    const size_t length = std::strlen(name);
    for (const char* at = std::strstr(all, name); at != nullptr; at = std::strstr(at + length, name)) {
        const bool starts = at == all || at[-1] == ' ';
        const bool ends = at[length] == '\0' || at[length] == ' ';
        if (starts && ends) return true;
    }
    return false;
}

}  // namespace

OpenGlCapabilities ReadCurrentOpenGl() {
    OpenGlCapabilities capabilities;
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    int major = 0;
    int minor = 0;
    if (version == nullptr || std::sscanf(version, "%d.%d", &major, &minor) != 2) return capabilities;
    const int number = major * 10 + minor;
    const bool framebuffers = number >= 30 || HasExtension("GL_ARB_framebuffer_object");
    const bool provokingVertex = number >= 32 || HasExtension("GL_ARB_provoking_vertex");
    capabilities.available = number >= 21 && framebuffers && provokingVertex;
    capabilities.s3tc = HasExtension("GL_EXT_texture_compression_s3tc");
    if (number >= 46 || HasExtension("GL_EXT_texture_filter_anisotropic") ||
        HasExtension("GL_ARB_texture_filter_anisotropic")) {
        GLfloat most = 1.0f;
        glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &most);
        capabilities.maxAnisotropy = most >= 1.0f ? most : 1.0f;
    }
    GLint size = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
    capabilities.maxTextureSize = size > 0 ? static_cast<uint32_t>(size) : 0;
    return capabilities;
}

const OpenGlCapabilities& HostOpenGl() {
    static const OpenGlCapabilities none;
    static std::mutex lock;
    static std::optional<OpenGlCapabilities> found;
    VideoAdapter& video = HostVideo();
    if (!video.ShowsWindows()) return none;
    std::lock_guard<std::mutex> guard(lock);
    if (found.has_value()) return *found;
    OpenGlCapabilities probed;
    const HostWindowId window = video.OpenWindow("", RECT{0, 0, 1, 1}, false, false);
    if (window != 0) {
        if (std::unique_ptr<GlWindowContext> context = GlWindowContext::Open(window)) probed = ReadCurrentOpenGl();
        video.CloseWindow(window);
    }
    found = probed;
    return *found;
}

}  // namespace platform::d3d9
