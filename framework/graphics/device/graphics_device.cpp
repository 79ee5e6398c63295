#include "framework/graphics/device/graphics_device.h"

#include "framework/graphics/device/direct3d_device.h"

IDirectDraw7* GetDirectDrawObject() { return Direct3DDevice.directDraw; }
