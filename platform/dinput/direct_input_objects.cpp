// The DirectInput objects of versions 7 and 8, as CoCreateInstance makes
// them: initialisation, the enumeration of the keyboard, the mouse and the
// pads, and device creation. Each version is in the class table only while
// the machine profile says it is installed.
#include <cstdio>

#include "platform/dinput/input_objects.h"
#include "platform/profile/machine_profile.h"

namespace platform::dinput {
namespace {

// The device instance EnumDevices reports for a pad.
DIDEVICEINSTANCEA PadInstance(const PadInfo& pad) {
    DIDEVICEINSTANCEA instance{};
    instance.dwSize = sizeof(instance);
    instance.guidInstance = instance.guidProduct = PadInstanceGuid(pad.id);
    instance.dwDevType = DIDEVTYPE_JOYSTICK;
    std::snprintf(instance.tszInstanceName, sizeof(instance.tszInstanceName), "%s", pad.name.c_str());
    std::snprintf(instance.tszProductName, sizeof(instance.tszProductName), "%s", pad.name.c_str());
    return instance;
}

DIDEVICEINSTANCEA SystemInstance(const GUID& guid, DWORD type, const char* name) {
    DIDEVICEINSTANCEA instance{};
    instance.dwSize = sizeof(instance);
    instance.guidInstance = instance.guidProduct = guid;
    instance.dwDevType = type;
    std::snprintf(instance.tszInstanceName, sizeof(instance.tszInstanceName), "%s", name);
    std::snprintf(instance.tszProductName, sizeof(instance.tszProductName), "%s", name);
    return instance;
}

template <class Interface, int Version>
class DirectInput final : public com::Object<DirectInput<Interface, Version>, Interface> {
public:
    HRESULT WINAPI Initialize(HINSTANCE /*instance*/, DWORD version) override {
        const InputFailures& failures = Profile().failures.input;
        if (Version == 7 ? failures.initialize7 : failures.initialize8) return DIERR_UNSUPPORTED;
        // Version 7 serves the programs written for 3 to 7; version 8 only
        // those written for 8.
        const DWORD lowest = Version == 7 ? 0x0300u : 0x0800u;
        const DWORD highest = Version == 7 ? 0x0700u : 0x0800u;
        if (version < lowest) return DIERR_OLDDIRECTINPUTVERSION;
        if (version > highest) return DIERR_BETADIRECTINPUTVERSION;
        initialised_ = true;
        HostInput().Start();
        return DI_OK;
    }

    HRESULT WINAPI EnumDevices(DWORD deviceType, LPDIENUMDEVICESCALLBACKA callback, LPVOID context,
                               DWORD /*flags*/) override {
        if (!initialised_) return DIERR_NOTINITIALIZED;
        if (callback == nullptr || deviceType > DIDEVTYPE_JOYSTICK || deviceType == 1) return DIERR_INVALIDPARAM;
        // Every device here is attached, so DIEDFL_ATTACHEDONLY changes nothing.
        if (deviceType == 0 || deviceType == DIDEVTYPE_MOUSE) {
            const DIDEVICEINSTANCEA mouse = SystemInstance(GUID_SysMouse, DIDEVTYPE_MOUSE, "Mouse");
            if (callback(&mouse, context) == DIENUM_STOP) return DI_OK;
        }
        if (deviceType == 0 || deviceType == DIDEVTYPE_KEYBOARD) {
            const DIDEVICEINSTANCEA keyboard = SystemInstance(GUID_SysKeyboard, DIDEVTYPE_KEYBOARD, "Keyboard");
            if (callback(&keyboard, context) == DIENUM_STOP) return DI_OK;
        }
        if (deviceType == 0 || deviceType == DIDEVTYPE_JOYSTICK) {
            for (const PadInfo& pad : HostInput().ListPads()) {
                const DIDEVICEINSTANCEA instance = PadInstance(pad);
                if (callback(&instance, context) == DIENUM_STOP) return DI_OK;
            }
        }
        return DI_OK;
    }

    // Version 7's creation, by interface id.
    HRESULT WINAPI CreateDeviceEx(REFGUID instance, REFIID iid, LPVOID* device, LPUNKNOWN outer) {
        if (device == nullptr) return DIERR_INVALIDPARAM;
        *device = nullptr;
        if (!initialised_) return DIERR_NOTINITIALIZED;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        if (!IsEqualIID(iid, IID_IDirectInputDevice7A)) return DIERR_NOINTERFACE;
        return dinput::CreateDevice(7, instance, device);
    }

    // Version 8's creation.
    HRESULT WINAPI CreateDevice(REFGUID instance, LPDIRECTINPUTDEVICE8A* device, LPUNKNOWN outer) {
        if (device == nullptr) return DIERR_INVALIDPARAM;
        *device = nullptr;
        if (!initialised_) return DIERR_NOTINITIALIZED;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        void* created = nullptr;
        const HRESULT result = dinput::CreateDevice(8, instance, &created);
        if (SUCCEEDED(result)) *device = static_cast<IDirectInputDevice8A*>(created);
        return result;
    }

private:
    ~DirectInput() override = default;

    bool initialised_ = false;
};

}  // namespace

HRESULT CreateDirectInput7(REFIID iid, void** object) { return DirectInput<IDirectInput7A, 7>::Create(iid, object); }
HRESULT CreateDirectInput8(REFIID iid, void** object) { return DirectInput<IDirectInput8A, 8>::Create(iid, object); }

}  // namespace platform::dinput
