// The OpenGL renderer's life: its context and the objects every draw shares,
// the calls it keeps when asked, and the surfaces' bytes brought up to date
// before the device reads them.
#include "platform/d3d9/opengl_renderer.h"

#include "platform/d3d9/device.h"
#include "platform/profile/machine_profile.h"
#include "platform/user/host_display.h"

namespace platform::d3d9 {

std::unique_ptr<OpenGlRenderer> OpenGlRenderer::Open(HWND window) {
    if (!HostOpenGl().available) return nullptr;
    // A window made before the display adapter was chosen is shown from the
    // next mirroring on: now.
    detail::MirrorHostWindows();
    std::unique_ptr<GlWindowContext> context = GlWindowContext::Open(detail::HostWindowOf(window));
    if (context == nullptr) return nullptr;
    const OpenGlCapabilities capabilities = ReadCurrentOpenGl();
    if (!capabilities.available) return nullptr;
    return std::unique_ptr<OpenGlRenderer>(new OpenGlRenderer(std::move(context), capabilities));
}

OpenGlRenderer::OpenGlRenderer(std::unique_ptr<GlWindowContext> context, const OpenGlCapabilities& capabilities)
    : context_(std::move(context)), capabilities_(capabilities), keepCalls_(Profile().direct3d.keepCalls) {
    // Flat shading colours a triangle from its first vertex, as in Direct3D.
    glProvokingVertex(GL_FIRST_VERTEX_CONVENTION);
    glGenBuffers(1, &vertexBuffer_);
    glGenBuffers(1, &indexBuffer_);
    const GLubyte white[4] = {255, 255, 255, 255};
    glGenTextures(1, &white_);
    state_.TextureForWork(white_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
}

OpenGlRenderer::~OpenGlRenderer() {
    // The members that name objects are destroyed after this, with the
    // context current; when it cannot be (its window has gone), another
    // context may be current, and its objects must not be deleted by name:
    // ours go with our context.
    if (!context_->MakeCurrent()) {
        surfaces_.Abandon();
        programs_.Abandon();
    }
}

void OpenGlRenderer::Called(const DeviceCall& call) {
    if (keepCalls_) RecordingRenderer::Called(call);
}

void OpenGlRenderer::SyncForCpu(SurfaceMemory& surface) {
    if (surface.pool == D3DPOOL_SYSTEMMEM || !context_->MakeCurrent()) return;
    surfaces_.ReadBack(surface);
}

void OpenGlRenderer::Released(SurfaceMemory& surface) { surfaces_.Released(surface, context_->MakeCurrent()); }

bool PresentedFrameOf(IDirect3DDevice9* device, std::vector<uint32_t>& pixels, UINT& width, UINT& height) {
    Device* own = device != nullptr ? Device::From(device) : nullptr;
    auto* renderer = own != nullptr ? dynamic_cast<OpenGlRenderer*>(own->Core()->renderer.get()) : nullptr;
    return renderer != nullptr && renderer->PresentedFrame(pixels, width, height);
}

}  // namespace platform::d3d9
