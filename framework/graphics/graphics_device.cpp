#include "framework/graphics/graphics_device.h"

#include "framework/graphics/direct3d_device.h"

IDirectDraw7* GetDirectDrawObject() { return Direct3DDevice.directDraw; }
