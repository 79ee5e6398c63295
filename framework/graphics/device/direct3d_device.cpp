// The device layer's state, which every hardware part of the framework reads.
#include "framework/graphics/device/direct3d_device.h"

Direct3DDeviceState Direct3DDevice = {};
int HardwarePathFlag = 0;
int FpuPreserveSetting = 0;

int IsDirect3DPathInUse() { return HardwarePathFlag != 0 && Direct3DDevice.device != nullptr ? 1 : 0; }
