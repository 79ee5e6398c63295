// The renderer a new device gets: the one the machine profile names.
#include "platform/d3d9/cpu_renderer.h"
#include "platform/d3d9/opengl_renderer.h"
#include "platform/d3d9/recording_renderer.h"
#include "platform/profile/machine_profile.h"

namespace platform::d3d9 {

std::unique_ptr<Renderer> MakeRenderer(HWND deviceWindow) {
    switch (Profile().direct3d.renderer) {
        case Direct3DRenderer::Recording: return std::make_unique<RecordingRenderer>();
        case Direct3DRenderer::Cpu: return std::make_unique<CpuRenderer>();
        case Direct3DRenderer::OpenGL: return OpenGlRenderer::Open(deviceWindow);
    }
    return nullptr;
}

}  // namespace platform::d3d9
