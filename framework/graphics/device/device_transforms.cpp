// The world, view and projection transforms, and their shader constants:
// registers 2 to 5 hold the projection and 6 to 9 the view, transposed.
// The transforms are not cached; their callers keep the matrices.
#include "framework/graphics/device/device_state_setters.h"

namespace {

D3DMATRIX Transposed(const D3DMATRIX& matrix) {
    D3DMATRIX result;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) result.m[row][column] = matrix.m[column][row];
    }
    return result;
}

}  // namespace

int SetDeviceWorldTransform(const D3DMATRIX* matrix) {
    IDirect3DDevice9* device = Direct3DDevice.device;
    if (device == nullptr) return 0;
    device->SetTransform(D3DTS_WORLD, matrix);
    return 0;
}

int SendViewMatrix(const D3DMATRIX* matrix) {
    IDirect3DDevice9* device = Direct3DDevice.device;
    if (device == nullptr) return 0;
    device->SetTransform(D3DTS_VIEW, matrix);
    DeviceStates.view = *matrix;
    const D3DMATRIX transposed = Transposed(*matrix);
    SetVertexShaderConstants(6, &transposed.m[0][0], 4);
    for (int light = 0; light < kShaderLightCount; ++light) SendLightViewConstants(light);
    return 0;
}

int SendProjectionMatrix(const D3DMATRIX* matrix) {
    IDirect3DDevice9* device = Direct3DDevice.device;
    if (device == nullptr) return 0;
    device->SetTransform(D3DTS_PROJECTION, matrix);
    const D3DMATRIX transposed = Transposed(*matrix);
    SetVertexShaderConstants(2, &transposed.m[0][0], 4);
    return 0;
}
