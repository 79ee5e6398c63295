// Stand-in until the Direct3D 9 device layer is built.
// No Direct3D 9 device exists until the graphics system is started.
#include "framework/graphics/direct3d_device.h"

int IsDirect3DPathInUse() { return 0; }

void EndDeviceScene() {}

int PresentDeviceBackBuffer() { return -1; }

int SetDeviceDialogBoxMode(int on) { return 0; }

int ToggleDeviceDialogBoxMode(int on) { return 0; }
