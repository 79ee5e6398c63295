// The fog and transform parts of the draw settings. On the hardware path
// each also reaches the device through the state cache, after the vertex
// batch has drawn what was queued under the old value.
#include "framework/graphics/device/device_state_setters.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/draws/vertex_batch.h"

namespace {

// Projection, then the mapping onto the target, then into the draw area.
void SendProjectionProduct() {
    const DrawSettings& settings = CurrentDrawSettings;
    MATRIX product;
    MatrixMultiply(&product, &settings.projectionMatrix, &settings.postProjectionMatrix);
    MatrixMultiply(&product, &product, &settings.drawAreaMatrix);
    const D3DMATRIX sent = ToDeviceMatrix(product);
    SendProjectionMatrix(&sent);
}

}  // namespace

int SetFogMode(int mode) {
    const bool hardware = IsDirect3DPathInUse() != 0;
    if (CurrentDrawSettings.fogMode == mode && (!hardware || DeviceStates.fogMode == mode)) return 0;
    FlushVertexBatch();
    CurrentDrawSettings.fogMode = mode;
    if (hardware) SetDeviceFogMode(mode);
    return 0;
}

int SetFogColor(int red, int green, int blue) {
    const uint32_t color = 0xFF000000u | (static_cast<uint32_t>(red) & 0xFF) << 16 |
                           (static_cast<uint32_t>(green) & 0xFF) << 8 | (static_cast<uint32_t>(blue) & 0xFF);
    const bool hardware = IsDirect3DPathInUse() != 0;
    if (CurrentDrawSettings.fogColor == color && (!hardware || DeviceStates.fogColor == color)) return 0;
    FlushVertexBatch();
    CurrentDrawSettings.fogColor = color;
    if (hardware) SetDeviceFogColor(color);
    return 0;
}

int SetFogStartEnd(float start, float end) {
    const DrawSettings& settings = CurrentDrawSettings;
    const bool hardware = IsDirect3DPathInUse() != 0;
    if (settings.fogStart == start && settings.fogEnd == end &&
        (!hardware || (DeviceStates.fogStart == start && DeviceStates.fogEnd == end)))
        return 0;
    FlushVertexBatch();
    CurrentDrawSettings.fogStart = start;
    CurrentDrawSettings.fogEnd = end;
    if (hardware) SetDeviceFogStartEnd(start, end);
    return 0;
}

int SetWorldMatrix(const MATRIX* matrix) {
    FlushVertexBatch();
    CurrentDrawSettings.worldMatrix = *matrix;
    if (IsDirect3DPathInUse()) {
        const D3DMATRIX sent = ToDeviceMatrix(*matrix);
        SetDeviceWorldTransform(&sent);
    }
    return 0;
}

int SetViewMatrix(const MATRIX* matrix) {
    FlushVertexBatch();
    CurrentDrawSettings.viewMatrix = *matrix;
    if (IsDirect3DPathInUse()) {
        const D3DMATRIX sent = ToDeviceMatrix(*matrix);
        SendViewMatrix(&sent);
    }
    return 0;
}

int SetProjectionMatrix(const MATRIX* matrix) {
    CurrentDrawSettings.projectionMatrix = *matrix;
    if (IsDirect3DPathInUse()) SendProjectionProduct();
    return 0;
}

int SetPostProjectionMatrix(const MATRIX* matrix) {
    CurrentDrawSettings.postProjectionMatrix = *matrix;
    if (IsDirect3DPathInUse()) SendProjectionProduct();
    return 0;
}

FLOAT4* MakeFloat4(FLOAT4* vector, float x, float y, float z, float w) {
    *vector = FLOAT4{x, y, z, w};
    return vector;
}
