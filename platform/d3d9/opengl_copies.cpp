// Clears and fills as scissored clears of a surface's framebuffer, copies
// between surfaces as framebuffer blits (from a video surface, of its
// rectangle converted in memory), uploads of rectangles, and read-backs of
// render targets.
#include <algorithm>

#include "platform/d3d9/opengl_renderer.h"
#include "platform/d3d9/surface.h"
#include "platform/d3d9/video_conversion.h"

namespace platform::d3d9 {
namespace {

// The clear colour for a surface of `format`: without alpha, an alpha of 1.
void ClearColour(D3DCOLOR colour, const FormatInfo& format) {
    const float alpha = HasAlpha(format) ? static_cast<float>(colour >> 24) / 255.0f : 1.0f;
    glClearColor(static_cast<float>((colour >> 16) & 0xFF) / 255.0f, static_cast<float>((colour >> 8) & 0xFF) / 255.0f,
                 static_cast<float>(colour & 0xFF) / 255.0f, alpha);
}

GlRect Box(LONG left, LONG top, LONG right, LONG bottom) { return GlRect{left, top, right - left, bottom - top}; }

}  // namespace

void OpenGlRenderer::Clear(const DeviceState& state, const ClearCall& clear) {
    if (!context_->MakeCurrent()) return;
    SurfaceMemory& target = state.renderTarget->Memory();
    const GLuint framebuffer = surfaces_.Framebuffer(target, DepthFor(state, target));
    if (framebuffer == 0) return;
    state_.DrawFramebuffer(framebuffer);
    state_.AllWrites();
    GLbitfield mask = 0;
    if (clear.flags & D3DCLEAR_TARGET) mask |= GL_COLOR_BUFFER_BIT;
    if (clear.flags & D3DCLEAR_ZBUFFER) mask |= GL_DEPTH_BUFFER_BIT;
    if (clear.flags & D3DCLEAR_STENCIL) mask |= GL_STENCIL_BUFFER_BIT;
    ClearColour(clear.color, target.format);
    glClearDepth(clear.z);
    glClearStencil(static_cast<GLint>(clear.stencil));
    // Clears keep inside the viewport; the scissor rectangle is for draws.
    const D3DVIEWPORT9& viewport = state.viewport;
    const LONG left = static_cast<LONG>(viewport.X);
    const LONG top = static_cast<LONG>(viewport.Y);
    const LONG right = std::min<LONG>(static_cast<LONG>(viewport.X + viewport.Width), static_cast<LONG>(target.width));
    const LONG bottom =
        std::min<LONG>(static_cast<LONG>(viewport.Y + viewport.Height), static_cast<LONG>(target.height));
    const auto clearBox = [&](LONG x1, LONG y1, LONG x2, LONG y2) {
        x1 = std::max(x1, left);
        y1 = std::max(y1, top);
        x2 = std::min(x2, right);
        y2 = std::min(y2, bottom);
        if (x1 >= x2 || y1 >= y2) return;
        state_.Scissor(true, Box(x1, y1, x2, y2));
        glClear(mask);
    };
    if (clear.rects == nullptr) {
        clearBox(left, top, right, bottom);
    } else {
        for (DWORD i = 0; i < clear.rectCount; ++i)
            clearBox(clear.rects[i].x1, clear.rects[i].y1, clear.rects[i].x2, clear.rects[i].y2);
    }
    if (mask & GL_COLOR_BUFFER_BIT) surfaces_.Drawn(target);
}

void OpenGlRenderer::ColorFill(SurfaceMemory& surface, const RECT& rect, D3DCOLOR color) {
    if (!context_->MakeCurrent()) return;
    const GLuint framebuffer = surfaces_.Framebuffer(surface);
    if (framebuffer == 0) return;
    state_.DrawFramebuffer(framebuffer);
    state_.ColourMask(true, true);
    ClearColour(color, surface.format);
    state_.Scissor(true, Box(rect.left, rect.top, rect.right, rect.bottom));
    glClear(GL_COLOR_BUFFER_BIT);
    surfaces_.Drawn(surface);
}

void OpenGlRenderer::StretchRect(SurfaceMemory& source, const RECT& sourceRect, SurfaceMemory& destination,
                                 const RECT& destRect, D3DTEXTUREFILTERTYPE filter) {
    if (!context_->MakeCurrent()) return;
    if (IsVideoFormat(source.format)) {
        // OpenGL holds no video format: the rectangle is converted in memory
        // and copied on from there.
        if (destination.format.kind != FormatKind::Colour) return;
        const LONG width = sourceRect.right - sourceRect.left;
        const LONG height = sourceRect.bottom - sourceRect.top;
        SurfaceMemory converted(*FindFormat(D3DFMT_X8R8G8B8), static_cast<uint32_t>(width),
                                static_cast<uint32_t>(height), D3DPOOL_DEFAULT, 0, SurfaceRole::OffscreenPlain, true);
        ConvertVideoRect(source, sourceRect, converted, converted.Whole());
        StretchRect(converted, converted.Whole(), destination, destRect, filter);
        surfaces_.Released(converted, true);
        return;
    }
    const GLuint from = surfaces_.Framebuffer(source);
    const GLuint to = surfaces_.Framebuffer(destination);
    if (from == 0 || to == 0) return;
    state_.ReadFramebuffer(from);
    state_.DrawFramebuffer(to);
    // Blits are scissored too; a copy is not.
    state_.Scissor(false);
    state_.ColourMask(true, true);
    glBlitFramebuffer(sourceRect.left, sourceRect.top, sourceRect.right, sourceRect.bottom, destRect.left, destRect.top,
                      destRect.right, destRect.bottom, GL_COLOR_BUFFER_BIT,
                      filter == D3DTEXF_LINEAR ? GL_LINEAR : GL_NEAREST);
    // A destination without alpha takes back the alpha of 1 it is held with.
    if (!HasAlpha(destination.format) && HasAlpha(source.format)) {
        state_.ColourMask(false, true);
        state_.Scissor(true, Box(destRect.left, destRect.top, destRect.right, destRect.bottom));
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    surfaces_.Drawn(destination);
}

void OpenGlRenderer::UpdateSurface(SurfaceMemory& source, const RECT& sourceRect, SurfaceMemory& destination,
                                   POINT destPoint) {
    if (!context_->MakeCurrent()) return;
    surfaces_.WriteRect(source, sourceRect, destination, destPoint);
}

void OpenGlRenderer::GetRenderTargetData(SurfaceMemory& renderTarget, SurfaceMemory& destination) {
    if (!context_->MakeCurrent()) return;
    surfaces_.ReadPixels(renderTarget, destination.bytes.data());
    ++destination.generation;
}

}  // namespace platform::d3d9
