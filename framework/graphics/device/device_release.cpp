// Taking the device layer down: whatever of it exists is released, in the
// order that lets each object go before what it was made from.
#include "framework/graphics/device/direct3d_device.h"
#include "framework/graphics/screen/display_modes.h"
#include "framework/graphics/models/model_system.h"
#include "framework/graphics/shaders/shader_pack.h"
#include "framework/graphics/shaders/vertex_declarations.h"
#include "platform/platform.h"

int TermGraphicsDevice() {
    Direct3DDeviceState& state = Direct3DDevice;
    const bool layerUp = state.d3d9Module != nullptr || state.directDraw != nullptr;
    DropAllModelBuffers();
    ReleaseVertexDeclarations();
    ReleaseShaderPackShaders();
    // The software path switched the display itself; a device gives its
    // mode back when it goes.
    if (layerUp && !HardwarePathFlag) ChangeDisplaySettingsA(nullptr, 0);
    ReleaseObject(state.zBuffer);
    ReleaseObject(state.subBackBuffer);
    ReleaseObject(state.backBuffer);
    ReleaseObject(state.swapChain);
    ReleaseObject(state.device);
    ReleaseObject(state.direct3d);
    ReleaseObject(state.directDraw);
    if (state.d3d9Module != nullptr) {
        FreeLibrary(state.d3d9Module);
        state.d3d9Module = nullptr;
    }
    state.inScene = 0;
    HardwarePathFlag = 0;
    // Listed afresh at the next query: the display may offer others by then.
    ForgetDisplayModes();
    return 0;
}
