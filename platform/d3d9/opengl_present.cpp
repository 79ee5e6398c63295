// Presenting: the back buffer (or a rectangle of it) copied into the
// window's frame at the destination rectangle, and the frame shown in the
// window, turned over into OpenGL's bottom-up rows; a window shown full
// screen in a mode the display lacks shows the frame scaled to fit, with
// black bars. The frame stays readable, so that a program without a display
// still shows what it presented.
#include "platform/d3d9/opengl_renderer.h"
#include "platform/d3d9/vertical_blank.h"
#include "platform/user/host_display.h"
#include "platform/user/user.h"

namespace platform::d3d9 {

GLuint OpenGlRenderer::Frame(GLsizei width, GLsizei height) {
    if (frame_ != 0 && width == frameWidth_ && height == frameHeight_) return frame_;
    if (frame_ == 0) {
        glGenFramebuffers(1, &frame_);
        glGenTextures(1, &frameTexture_);
    }
    state_.TextureForWork(frameTexture_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
    state_.DrawFramebuffer(frame_);
    glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, frameTexture_, 0);
    // A new frame starts black, as a window with nothing drawn yet.
    state_.Scissor(false);
    state_.ColourMask(true, true);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    frameWidth_ = width;
    frameHeight_ = height;
    return frame_;
}

HRESULT OpenGlRenderer::Present(const PresentCall& present) {
    if (present.interval != D3DPRESENT_INTERVAL_IMMEDIATE) WaitForVerticalBlankBegin();
    if (!context_->MakeCurrent()) return D3D_OK;
    RECT client{};
    GetClientRect(present.window, &client);
    const GLsizei width = client.right - client.left;
    const GLsizei height = client.bottom - client.top;
    const GLuint backBuffer = surfaces_.Framebuffer(present.backBuffer);
    if (width <= 0 || height <= 0 || backBuffer == 0) return D3D_OK;
    const GLuint frame = Frame(width, height);
    const RECT source = present.sourceRect != nullptr ? *present.sourceRect : present.backBuffer.Whole();
    const RECT dest = present.destRect != nullptr ? *present.destRect : RECT{0, 0, width, height};
    // A stretch takes the nearest pixel: filtering would draw colour in
    // from beyond the source rectangle's edges.
    state_.Scissor(false);
    state_.ColourMask(true, true);
    state_.ReadFramebuffer(backBuffer);
    state_.DrawFramebuffer(frame);
    glBlitFramebuffer(source.left, source.top, source.right, source.bottom, dest.left, dest.top, dest.right,
                      dest.bottom, GL_COLOR_BUFFER_BIT, GL_NEAREST);

    const HostWindowId window = detail::HostWindowOf(present.window);
    if (window != 0 && context_->MakeCurrentWith(window)) {
        const PictureArea area = HostVideo().PictureAreaOf(window, width, height);
        state_.ReadFramebuffer(frame);
        state_.DrawFramebuffer(0);
        if (area.scaled) {
            glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
            glClear(GL_COLOR_BUFFER_BIT);
        }
        // The window's rows run bottom up.
        glBlitFramebuffer(0, 0, width, height, area.picture.left, area.pixelHeight - area.picture.top,
                          area.picture.right, area.pixelHeight - area.picture.bottom, GL_COLOR_BUFFER_BIT,
                          GL_NEAREST);
        context_->Swap(window);
        if (window != context_->Window()) context_->MakeCurrent();
    }
    return D3D_OK;
}

bool OpenGlRenderer::PresentedFrame(std::vector<uint32_t>& pixels, UINT& width, UINT& height) {
    if (frame_ == 0 || !context_->MakeCurrent()) return false;
    width = static_cast<UINT>(frameWidth_);
    height = static_cast<UINT>(frameHeight_);
    pixels.assign(size_t{width} * height, 0);
    state_.TextureForWork(frameTexture_);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
    return true;
}

}  // namespace platform::d3d9
