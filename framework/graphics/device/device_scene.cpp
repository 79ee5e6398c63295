// Scenes on the device, and presenting the back buffer as the window side
// asks for it.
#include "framework/graphics/device/direct3d_device.h"
#include "framework/graphics/draws/draw_pipeline.h"
#include "framework/graphics/draws/vertex_batch.h"

void BeginDeviceScene() {
    Direct3DDeviceState& state = Direct3DDevice;
    if (state.device == nullptr || state.inScene == 1) return;
    state.device->BeginScene();
    state.inScene = 1;
    ClearLastDrawPipelineSetup();
}

void EndDeviceScene() {
    Direct3DDeviceState& state = Direct3DDevice;
    if (state.device == nullptr || !state.inScene) return;
    state.device->EndScene();
    state.inScene = 0;
}

int PresentDeviceBackBuffer() {
    if (Direct3DDevice.device == nullptr || Direct3DDevice.swapChain == nullptr) return -1;
    FlushVertexBatch();
    EndDeviceScene();
    return Direct3DDevice.swapChain->Present(nullptr, nullptr, nullptr, nullptr, 0) == D3D_OK ? 0 : -1;
}

int ToggleDeviceDialogBoxMode(int on) {
    if (!IsDirect3DPathInUse()) return 0;
    SetDeviceDialogBoxMode(0);
    if (on) SetDeviceDialogBoxMode(1);
    return 0;
}
