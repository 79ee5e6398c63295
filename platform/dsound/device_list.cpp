// The device list: the profile's devices, each under a GUID of its place.
#include <string>

#include "platform/dsound/sound_objects.h"
#include "platform/profile/machine_profile.h"

namespace platform::dsound {

GUID DeviceGuid(uint32_t index) {
    GUID guid = KILN_DSOUND_GUID(0x40);
    guid.Data4[5] = static_cast<BYTE>(index >> 8);
    guid.Data4[6] = static_cast<BYTE>(index);
    return guid;
}

bool IsListedDevice(const GUID& guid) {
    const size_t count = Profile().sound.devices.size();
    for (size_t i = 0; i < count; ++i)
        if (IsEqualGUID(guid, DeviceGuid(static_cast<uint32_t>(i)))) return true;
    return false;
}

HRESULT WINAPI DirectSoundEnumerateA(LPDSENUMCALLBACKA callback, LPVOID context) {
    if (callback == nullptr) return DSERR_INVALIDPARAM;
    // A copy: the callback may run anything, even a change of the profile.
    const std::vector<SoundDevice> devices = Profile().sound.devices;
    for (size_t i = 0; i < devices.size(); ++i) {
        GUID guid = DeviceGuid(static_cast<uint32_t>(i));
        if (!callback(&guid, devices[i].description.c_str(), devices[i].module.c_str(), context)) break;
    }
    return DS_OK;
}

}  // namespace platform::dsound
