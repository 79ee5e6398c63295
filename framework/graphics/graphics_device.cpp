// Stand-in until the Direct3D 9 device layer is built.
#include "framework/graphics/graphics_device.h"

// No device object exists until the graphics system is started.
void* GetDirectDrawObject() { return nullptr; }
