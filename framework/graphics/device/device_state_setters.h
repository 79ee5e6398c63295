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
