// The Direct3D 9 device as the window side uses it.
#pragma once

// 1 while drawing goes through the Direct3D 9 device (the hardware path).
int IsDirect3DPathInUse();
// Closes an open scene.
void EndDeviceScene();
// Presents the back buffer (Present with no rectangles, window or region);
// 0, or -1 when the present failed.
int PresentDeviceBackBuffer();
// Returns 0; nothing without a device.
int SetDeviceDialogBoxMode(int on);
int ToggleDeviceDialogBoxMode(int on);
