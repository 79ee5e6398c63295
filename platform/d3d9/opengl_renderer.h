// The renderer that makes real pixels: OpenGL through a context of the
// device's window (without a display, the context of a window of SDL's
// offscreen driver). Surfaces live as OpenGL textures beside their bytes
// (platform/d3d9/gl_surfaces.h); draws run Direct3D's fixed-function
// pipeline as generated GLSL programs, one per state key
// (platform/d3d9/fixed_function_shaders.h), with the render states as OpenGL
// state; copies between surfaces are framebuffer blits, fills and clears are
// scissored clears, read-backs keep Direct3D's row order, and a present
// copies the back buffer into the window's frame and shows it.
//
// Where Direct3D and OpenGL part, Direct3D's rules hold: pixel centres at
// whole coordinates, flat shading from a triangle's first vertex, the
// viewport and the scissor rectangle both clipping every draw, alpha tested
// in whole steps. Left out: lighting and vertex blending (vertices keep the
// colours they carry), draws under a vertex declaration (the framework's
// draws all give an FVF) and shaders of the program's own (the device keeps
// their byte code only). It keeps no device calls unless the machine
// profile asks it to (keepCalls). Private to platform/d3d9 and its tests.
#pragma once

#include <memory>
#include <vector>

#include "platform/d3d9/fvf_layout.h"
#include "platform/d3d9/gl_capabilities.h"
#include "platform/d3d9/gl_context.h"
#include "platform/d3d9/gl_programs.h"
#include "platform/d3d9/gl_state_cache.h"
#include "platform/d3d9/gl_surfaces.h"
#include "platform/d3d9/recording_renderer.h"

namespace platform::d3d9 {

class OpenGlRenderer final : public RecordingRenderer {
public:
    // A renderer drawing into `window`, or null when the window takes no
    // context or the context lacks what the renderer needs.
    static std::unique_ptr<OpenGlRenderer> Open(HWND window);
    ~OpenGlRenderer() override;

    bool KeepsCalls() const override { return keepCalls_; }
    void Called(const DeviceCall& call) override;
    void SyncForCpu(SurfaceMemory& surface) override;
    void Released(SurfaceMemory& surface) override;

    void Clear(const DeviceState& state, const ClearCall& clear) override;
    void Draw(const DeviceState& state, const DrawCall& draw) override;
    HRESULT Present(const PresentCall& present) override;
    void StretchRect(SurfaceMemory& source, const RECT& sourceRect, SurfaceMemory& destination, const RECT& destRect,
                     D3DTEXTUREFILTERTYPE filter) override;
    void UpdateSurface(SurfaceMemory& source, const RECT& sourceRect, SurfaceMemory& destination,
                       POINT destPoint) override;
    void GetRenderTargetData(SurfaceMemory& renderTarget, SurfaceMemory& destination) override;
    void ColorFill(SurfaceMemory& surface, const RECT& rect, D3DCOLOR color) override;

    // The window's frame as the last present left it: its client area,
    // 0xAARRGGBB, rows top down. False before the first present.
    bool PresentedFrame(std::vector<uint32_t>& pixels, UINT& width, UINT& height);

private:
    OpenGlRenderer(std::unique_ptr<GlWindowContext> context, const OpenGlCapabilities& capabilities);

    // The depth surface draws and clears into `target` use: the device's,
    // unless it is smaller than the target.
    static SurfaceMemory* DepthFor(const DeviceState& state, const SurfaceMemory& target);

    // Draws: the parts of Draw (opengl_draws.cpp).
    void SetUniforms(const DeviceState& state, const FixedFunctionKey& key, GlProgram& program,
                     const SurfaceMemory& target);
    void BindTextures(const DeviceState& state, const FixedFunctionKey& key);
    void SetFixedStates(const DeviceState& state, const RECT& box, bool depth, bool pretransformed,
                        const SurfaceMemory& target);
    void SetVertexInput(const DrawCall& draw, DWORD fvf);

    // The window's frame, made or remade at the client area's size.
    GLuint Frame(GLsizei width, GLsizei height);

    // Declared first, so that it is destroyed last, after every object of
    // the context.
    std::unique_ptr<GlWindowContext> context_;
    OpenGlCapabilities capabilities_;
    bool keepCalls_;
    GlStateCache state_;
    GlSurfaces surfaces_{state_};
    GlPrograms programs_{state_};
    GLuint vertexBuffer_ = 0;
    GLuint indexBuffer_ = 0;
    GLuint white_ = 0;  // what a stage without a texture samples: opaque white, as in Direct3D
    // The vertex input last set: the FVF and stride its attributes were set for.
    DWORD inputFvf_ = 0;
    UINT inputStride_ = 0;
    FvfLayout layout_;
    GLuint frameTexture_ = 0;
    GLuint frame_ = 0;
    GLsizei frameWidth_ = 0;
    GLsizei frameHeight_ = 0;
};

// The window's frame of a device drawn by the OpenGL renderer (see
// PresentedFrame); false for any other device.
bool PresentedFrameOf(IDirect3DDevice9* device, std::vector<uint32_t>& pixels, UINT& width, UINT& height);

}  // namespace platform::d3d9
