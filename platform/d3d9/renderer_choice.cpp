// The renderer a new device gets: the one the machine profile names.
#include "platform/d3d9/cpu_renderer.h"
#include "platform/d3d9/recording_renderer.h"
#include "platform/profile/machine_profile.h"

namespace platform::d3d9 {

std::unique_ptr<Renderer> MakeRenderer() {
    switch (Profile().direct3d.renderer) {
        case Direct3DRenderer::Recording: return std::make_unique<RecordingRenderer>();
        case Direct3DRenderer::Cpu: return std::make_unique<CpuRenderer>();
    }
    return nullptr;
}

}  // namespace platform::d3d9
