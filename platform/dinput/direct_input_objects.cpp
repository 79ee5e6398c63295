// The DirectInput objects of versions 7 and 8, as CoCreateInstance makes
// them: initialisation, the enumeration of the keyboard, the mouse and the
// pads, and device creation. Each version is in the class table only while
// the machine profile says it is installed.
#include <atomic>
#include <cstdio>

#include "platform/com/com_registry.h"
#include "platform/dinput/input_objects.h"
#include "platform/dinput/input_profile.h"

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
class DirectInput final : public Interface {
public:
    HRESULT WINAPI QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, OwnIid())) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        *object = static_cast<Interface*>(this);
        return S_OK;
    }
    ULONG WINAPI AddRef() override { return ++references_; }
    ULONG WINAPI Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    HRESULT WINAPI Initialize(HINSTANCE /*instance*/, DWORD version) override {
        const InputFailures& failures = Input().failures;
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

    static HRESULT Make(REFIID iid, void** object) {
        DirectInput* made = new DirectInput;
        const HRESULT result = made->QueryInterface(iid, object);
        made->Release();
        return result;
    }

private:
    ~DirectInput() = default;
    static const GUID& OwnIid() { return Version == 7 ? IID_IDirectInput7A : IID_IDirectInput8A; }

    bool initialised_ = false;
    std::atomic<ULONG> references_{1};
};

using DirectInput7 = DirectInput<IDirectInput7A, 7>;
using DirectInput8 = DirectInput<IDirectInput8A, 8>;

bool DirectInput7Installed() { return Input().directInput7; }
bool DirectInput8Installed() { return Input().directInput8; }

}  // namespace
}  // namespace platform::dinput

namespace platform::com {

void RegisterDirectInputClasses() {
    RegisterClass(CLSID_DirectInput, dinput::DirectInput7::Make, dinput::DirectInput7Installed);
    RegisterClass(CLSID_DirectInput8, dinput::DirectInput8::Make, dinput::DirectInput8Installed);
}

}  // namespace platform::com
