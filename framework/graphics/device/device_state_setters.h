// Internal to framework/graphics (and its tests): what the cached setters
// share.
#pragma once

#include "framework/graphics/device/device_state_cache.h"
#include "framework/graphics/models/matrix_math.h"

// The constant register 0 of each shader kind.
inline constexpr float kVertexRegisterZero[4] = {0.0f, 1.0f, 0.0f, 0.0f};
inline constexpr float kPixelRegisterZero[4] = {0.0f, 0.5f, 1.0f, 2.0f};

// The common road of a cached render state: nothing when `value` equals the
// cache and the force-set flag is off; else the batch is drawn, the device
// gets `deviceValue` and the cache `value`. Without a device: `noDevice`.
// With `reportFailure` a refused state gives -1.
int SendCachedRenderState(int& cached, int value, D3DRENDERSTATETYPE state, DWORD deviceValue, int noDevice,
                          bool reportFailure);

// Sends the shade mode held in the cache.
void SendCachedShadeMode();
// The view-space position and direction registers of light 0 to 3.
void SendLightViewConstants(int light);

// A float as a render state carries it.
DWORD FloatBits(float value);
// A framework matrix as Direct3D takes it: the same 16 floats.
D3DMATRIX ToDeviceMatrix(const MATRIX& matrix);

// A point or a direction carried through a 4x4 matrix, as the lights are put
// into view space: a float3 times a row-major 4x4 matrix (x' = x m11 + y m21 +
// z m31 + m41, and so on), the second without the translation row; both
// return `out`, which may be the input. Products and sums are formed in double
// precision.
float* TransformPointByMatrix(float* out, const float* point, const D3DMATRIX* matrix);
float* TransformDirectionByMatrix(float* out, const float* direction, const D3DMATRIX* matrix);
