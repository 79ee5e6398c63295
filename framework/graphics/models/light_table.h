// The lights of the 3D state, kept under light handles on the CPU side and
// sent to the device in one pass before a lit draw, only when something
// changed. Enabled lights take device indexes 0, 1, 2, ... in table order.
#pragma once

#include "framework/base/handle_table.h"
#include "platform/d3d9/d3d9.h"

constexpr int kLightHandleKind = 0x60000000;
constexpr int kLightSlotCount = 4096;

struct LightRecord {
    int check;   // the check value the record was made with
    int handle;  // the record's own handle value
    D3DLIGHT9 light;
    int deviceIndex;  // the device light index last used for it, -1 before the first send
    int enabled;
    int changed;  // 1 until the light is sent again
};

struct LightTableState {
    int dirty;      // something changed since the last send
    int resendAll;  // every enabled light goes again at the next send
    int nextDeviceIndex;
    int lastDeviceIndex;  // the highest device index sent, or -1
};

extern HandleTable LightHandleTable;
extern LightTableState LightTable;
// The light the settings reset makes, or -1.
extern int DefaultLightHandle;

// A new light with the default values, switched on: white diffuse and
// specular colours, ambient 0.33, range 2000, falloff 1, attenuation
// (0.1, 0, 0), theta and phi 2. -1 with a log line when every slot is used.
int AllocLightSlot();
// A new directional light shining along (x, y, z) made unit length; -1 for
// a direction of length 0 or when no light can be made.
int CreateDirectionalLight(float x, float y, float z);
// 0, or -1 for a bad handle.
int RemoveLight(int handle);
// Removes every light except the default light. Returns 0.
int RemoveAllLights();
// Switches the device's lighting on and, when the lights changed or must all
// go again, sends every enabled light and switches off the device indexes no
// longer used. Returns 0.
int FlushLightsToDevice();
// 1 when the next lit draw must send the lights.
int LightsNeedSending();
// Asks for every light to be sent to the device again at the next lit draw.
int MarkLightsForResend();
// When a device exists: sends the light's description (when given) to device
// light `index` and switches that light on or off. Returns 0.
int SetDeviceLight(int index, int enable, const D3DLIGHT9* light);
