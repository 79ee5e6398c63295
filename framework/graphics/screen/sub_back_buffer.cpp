// The switch to the sub back buffer: a render target of the screen's size
// that drawing goes to from then on, made once and filled with what the back
// buffer holds at that moment.
#include "framework/graphics/device/device_state_cache.h"
#include "framework/graphics/device/direct3d_device.h"
#include "framework/graphics/draws/vertex_batch.h"

int SwitchToSubBackBuffer() {
    Direct3DDeviceState& state = Direct3DDevice;
    if (state.subBackBuffer != nullptr) return 0;
    FlushVertexBatch();
    EndDeviceScene();
    if (CreateSubBackBuffer() != 0) return -1;
    state.device->StretchRect(state.backBuffer, nullptr, state.subBackBuffer, nullptr, D3DTEXF_NONE);
    DeviceStateCache& cache = DeviceStates;
    const int forced = cache.forceSet;
    cache.forceSet = 1;
    SetDeviceRenderTarget(state.subBackBuffer);
    cache.forceSet = forced;
    return 0;
}
