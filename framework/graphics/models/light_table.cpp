// The light table: making and removing lights, and sending the enabled ones
// to the device.
#include "framework/graphics/models/light_table.h"

#include <cmath>
#include <cstddef>

#include "framework/base/log.h"
#include "framework/graphics/device/device_state_cache.h"
#include "framework/graphics/models/matrix_math.h"
#include "framework/base/fatal_exit.h"

namespace {
void* LightSlots[kLightSlotCount];
}  // namespace

HandleTable LightHandleTable = {
    kLightHandleKind, kLightSlotCount, offsetof(LightRecord, check), LightSlots, 0, 0, 0,
};
LightTableState LightTable = {0, 0, 0, -1};
int DefaultLightHandle = -1;

namespace {

LightRecord* GetLightRecord(int handle) {
    return static_cast<LightRecord*>(GetHandleRecord(&LightHandleTable, handle));
}

void FillNewLight(D3DLIGHT9& light) {
    light.Type = static_cast<D3DLIGHTTYPE>(0);
    light.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    light.Specular = {1.0f, 1.0f, 1.0f, 1.0f};
    light.Ambient = {0.33f, 0.33f, 0.33f, 0.33f};
    light.Position = {0.0f, 0.0f, 0.0f};
    light.Direction = {0.0f, 0.0f, 0.0f};
    light.Range = 2000.0f;
    light.Falloff = 1.0f;
    light.Attenuation0 = 0.1f;
    light.Attenuation1 = 0.0f;
    light.Attenuation2 = 0.0f;
    light.Theta = 2.0f;
    light.Phi = 2.0f;
}

}  // namespace

int AllocLightSlot() {
    const int handle = AllocHandleRecord(&LightHandleTable, sizeof(LightRecord), __FILE__, __LINE__);
    if (handle == kHandleTableFull) {
        WriteLogLine("ライトの数が許容量を越えました\n");
        return -1;
    }
    if (handle < 0) FatalErrorExit("ライト用のメモリの確保に失敗しました");
    LightRecord* record = GetLightRecord(handle);
    record->handle = handle;
    FillNewLight(record->light);
    record->deviceIndex = -1;
    record->enabled = 1;
    record->changed = 1;
    LightTable.dirty = 1;
    return handle;
}

int CreateDirectionalLight(float x, float y, float z) {
    const VECTOR direction = {x, y, z};
    const float length = std::sqrt(Vec3Dot(&direction, &direction));
    // A light must shine somewhere: without a length there is no direction.
    if (!(length > 0.0f) || !std::isfinite(length)) return -1;
    const int handle = AllocLightSlot();
    LightRecord* record = GetLightRecord(handle);
    if (record == nullptr) return -1;
    record->light.Type = D3DLIGHT_DIRECTIONAL;
    record->light.Direction = {x / length, y / length, z / length};
    return handle;
}

int RemoveLight(int handle) {
    const LightRecord* record = GetLightRecord(handle);
    if (record == nullptr) return -1;
    if (record->deviceIndex != -1) LightTable.dirty = 1;
    ReleaseHandleRecord(&LightHandleTable, handle);
    LightTable.dirty = 1;
    return 0;
}

int RemoveAllLights() {
    // The high-water index is read again after each removal.
    for (int slot = 0; slot < LightHandleTable.highWater; ++slot) {
        const LightRecord* record = static_cast<const LightRecord*>(LightHandleTable.slots[slot]);
        if (record == nullptr || record->handle == DefaultLightHandle) continue;
        RemoveLight(record->handle);
    }
    return 0;
}

int FlushLightsToDevice() {
    SetDeviceLightingEnable(1);
    LightTableState& table = LightTable;
    if (!table.dirty && !table.resendAll) return 0;
    const int oldTop = table.lastDeviceIndex;
    table.nextDeviceIndex = 0;
    table.lastDeviceIndex = -1;
    int seen = 0;
    for (int slot = 0; slot < kLightSlotCount && seen < LightHandleTable.liveCount; ++slot) {
        LightRecord* record = static_cast<LightRecord*>(LightHandleTable.slots[slot]);
        if (record == nullptr) continue;
        ++seen;
        if (!record->enabled) continue;
        const int index = table.nextDeviceIndex;
        if (record->deviceIndex != index || record->changed || table.resendAll) {
            record->deviceIndex = index;
            record->changed = 0;
            SetDeviceLight(index, 1, &record->light);
        }
        table.lastDeviceIndex = index;
        ++table.nextDeviceIndex;
    }
    for (int index = table.lastDeviceIndex + 1; index <= oldTop; ++index) SetDeviceLight(index, 0, nullptr);
    table.dirty = 0;
    table.resendAll = 0;
    return 0;
}

int LightsNeedSending() { return LightTable.dirty || LightTable.resendAll ? 1 : 0; }

int MarkLightsForResend() {
    LightTable.resendAll = 1;
    return 0;
}

int SetDeviceLight(int index, int enable, const D3DLIGHT9* light) {
    if (Direct3DDevice.device == nullptr) return 0;
    if (light != nullptr) SendLightToDevice(index, light);
    EnableDeviceLight(index, enable);
    return 0;
}
