// The device objects: the system keyboard, the system mouse and the pads,
// with their data formats, cooperative levels, properties, change events,
// acquisition and state.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/dinput/input_objects.h"
#include "platform/profile/machine_profile.h"
#include "platform/kernel/kernel.h"
#include "platform/user/user.h"
#include "platform/winmm/winmm.h"

namespace platform::dinput {
namespace {

constexpr DWORD kRumbleRefreshMilliseconds = 30000;

const DIDATAFORMAT* FormatOf(DeviceKind kind) {
    switch (kind) {
        case DeviceKind::Keyboard: return &c_dfDIKeyboard;
        case DeviceKind::Mouse: return &c_dfDIMouse2;
        case DeviceKind::Joystick: return &c_dfDIJoystick;
    }
    return nullptr;
}

// The axis a property addresses by its DIJOYSTATE offset, or -1 when the pad
// has no such axis.
int AxisAtOffset(const DeviceRecord& device, DWORD offset) {
    for (int axis = 0; axis < std::min(device.pad.axes, MaxAxes); ++axis)
        if (AxisOffsets[axis] == offset) return axis;
    return -1;
}

// A raw SDL2 position (-32768 to 32767) in the axis's range, after its dead
// zone: the ends land exactly on the range's ends.
LONG ScaleAxis(int32_t raw, const AxisSettings& settings) {
    double fraction = raw < 0 ? raw / 32768.0 : raw / 32767.0;
    const double deadZone = std::min<DWORD>(settings.deadZone, 10000) / 10000.0;
    if (std::fabs(fraction) <= deadZone) {
        fraction = 0.0;
    } else if (deadZone < 1.0) {
        fraction = std::copysign((std::fabs(fraction) - deadZone) / (1.0 - deadZone), fraction);
    }
    const double low = settings.minimum;
    const double high = settings.maximum;
    return static_cast<LONG>(std::lround(low + (fraction + 1.0) / 2.0 * (high - low)));
}

DWORD HatAngle(uint8_t bits) {
    switch (bits) {
        case 0x01: return 0;      // up
        case 0x03: return 4500;   // up and right
        case 0x02: return 9000;   // right
        case 0x06: return 13500;  // down and right
        case 0x04: return 18000;  // down
        case 0x0C: return 22500;  // down and left
        case 0x08: return 27000;  // left
        case 0x09: return 31500;  // up and left
        default: return 0xFFFFFFFFu;
    }
}

DIJOYSTATE ToJoystickState(const DeviceRecord& device, const PadReading& reading) {
    DIJOYSTATE state{};
    LONG* slots[MaxAxes] = {&state.lX,  &state.lY,  &state.lZ,           &state.lRz,
                            &state.lRx, &state.lRy, &state.rglSlider[0], &state.rglSlider[1]};
    // Axes the pad lacks read as the middle of their range, as centred ones do.
    for (int axis = 0; axis < MaxAxes; ++axis)
        *slots[axis] = ScaleAxis(axis < device.pad.axes ? reading.axes[axis] : 0, device.axes[axis]);
    for (int hat = 0; hat < 4; ++hat) state.rgdwPOV[hat] = HatAngle(hat < device.pad.hats ? reading.hats[hat] : 0);
    for (int button = 0; button < 32; ++button) state.rgbButtons[button] = reading.buttons[button] ? 0x80 : 0x00;
    return state;
}

bool InjectedFailure(DeviceKind kind, bool InputFailures::*mouse, bool InputFailures::*keyboard) {
    const InputFailures& failures = Profile().failures.input;
    if (kind == DeviceKind::Mouse) return failures.*mouse;
    if (kind == DeviceKind::Keyboard) return failures.*keyboard;
    return false;
}

template <class Interface>
class InputDevice final : public com::Object<InputDevice<Interface>, Interface> {
public:
    explicit InputDevice(std::shared_ptr<DeviceRecord> device) : device_(std::move(device)) {}

    HRESULT WINAPI GetDeviceState(DWORD size, LPVOID data) override {
        DeviceRecord& device = *device_;
        if (data == nullptr || device.format == nullptr || size != device.format->dwDataSize)
            return DIERR_INVALIDPARAM;
        if (!device.acquired) return DIERR_NOTACQUIRED;
        if (LostForeground()) {
            LoseAcquisition();
            return DIERR_INPUTLOST;
        }
        switch (device.kind) {
            case DeviceKind::Keyboard: HostInput().ReadKeyboard(static_cast<BYTE*>(data)); return DI_OK;
            case DeviceKind::Mouse: std::memset(data, 0, size); return DI_OK;
            case DeviceKind::Joystick: {
                DIJOYSTATE state;
                if (!ReadPad(state)) return DIERR_INPUTLOST;
                std::memcpy(data, &state, sizeof(state));
                return DI_OK;
            }
        }
        return DIERR_INVALIDPARAM;
    }

    HRESULT WINAPI SetDataFormat(LPCDIDATAFORMAT format) override {
        DeviceRecord& device = *device_;
        if (device.acquired) return DIERR_ACQUIRED;
        if (InjectedFailure(device.kind, &InputFailures::mouseDataFormat, &InputFailures::keyboardDataFormat))
            return DIERR_UNSUPPORTED;
        // Each device knows the one format that fits it.
        if (format == nullptr || format != FormatOf(device.kind)) return DIERR_INVALIDPARAM;
        device.format = format;
        return DI_OK;
    }

    HRESULT WINAPI SetEventNotification(HANDLE event) override {
        DeviceRecord& device = *device_;
        if (device.acquired) return DIERR_ACQUIRED;
        if (device.kind == DeviceKind::Keyboard && Profile().failures.input.keyboardEventNotification)
            return DIERR_UNSUPPORTED;
        if (device.kind == DeviceKind::Keyboard) {
            if (device.event != nullptr) HostInput().RemoveKeyboardChangeEvent(device.event);
            if (event != nullptr) HostInput().AddKeyboardChangeEvent(event);
        }
        device.event = event;
        // A pad is read only when asked: its event is set by the read that
        // finds it changed.
        return device.kind == DeviceKind::Joystick && event != nullptr ? DI_POLLEDDEVICE : DI_OK;
    }

    HRESULT WINAPI SetCooperativeLevel(HWND window, DWORD flags) override {
        DeviceRecord& device = *device_;
        if (device.acquired) return DIERR_ACQUIRED;
        if (InjectedFailure(device.kind, &InputFailures::mouseCooperativeLevel,
                            &InputFailures::keyboardCooperativeLevel))
            return DIERR_UNSUPPORTED;
        const DWORD sharing = flags & (DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE);
        const DWORD focus = flags & (DISCL_FOREGROUND | DISCL_BACKGROUND);
        if (window == nullptr || sharing == 0 || sharing == (DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE) || focus == 0 ||
            focus == (DISCL_FOREGROUND | DISCL_BACKGROUND))
            return DIERR_INVALIDPARAM;
        // Nothing may take the whole keyboard away from the rest of the desktop.
        if (device.kind == DeviceKind::Keyboard && flags == (DISCL_EXCLUSIVE | DISCL_BACKGROUND))
            return DIERR_UNSUPPORTED;
        device.window = window;
        device.cooperativeLevel = flags;
        return DI_OK;
    }

    HRESULT WINAPI SetProperty(REFGUID property, LPCDIPROPHEADER header) override {
        DeviceRecord& device = *device_;
        if (header == nullptr || header->dwHeaderSize != sizeof(DIPROPHEADER)) return DIERR_INVALIDPARAM;
        if (IsEqualGUID(property, DIPROP_BUFFERSIZE)) {
            if (header->dwSize != sizeof(DIPROPDWORD) || header->dwHow != DIPH_DEVICE || header->dwObj != 0)
                return DIERR_INVALIDPARAM;
            if (device.acquired) return DIERR_ACQUIRED;
            device.bufferSize = reinterpret_cast<const DIPROPDWORD*>(header)->dwData;
            return DI_OK;
        }
        const bool range = IsEqualGUID(property, DIPROP_RANGE);
        const bool deadZone = IsEqualGUID(property, DIPROP_DEADZONE);
        if (!range && !deadZone) return DIERR_UNSUPPORTED;
        if (header->dwSize != (range ? sizeof(DIPROPRANGE) : sizeof(DIPROPDWORD))) return DIERR_INVALIDPARAM;
        if (device.kind != DeviceKind::Joystick) return DIERR_UNSUPPORTED;
        int first = 0;
        int last = std::min(device.pad.axes, MaxAxes) - 1;
        if (header->dwHow == DIPH_BYOFFSET) {
            first = last = AxisAtOffset(device, header->dwObj);
            if (first < 0) return DIERR_OBJECTNOTFOUND;
        } else if (header->dwHow != DIPH_DEVICE || header->dwObj != 0) {
            return DIERR_INVALIDPARAM;
        }
        if (range) {
            const DIPROPRANGE* value = reinterpret_cast<const DIPROPRANGE*>(header);
            if (value->lMin >= value->lMax) return DIERR_INVALIDPARAM;
            for (int axis = first; axis <= last; ++axis) {
                device.axes[axis].minimum = value->lMin;
                device.axes[axis].maximum = value->lMax;
            }
        } else {
            const DWORD value = reinterpret_cast<const DIPROPDWORD*>(header)->dwData;
            if (value > 10000) return DIERR_INVALIDPARAM;
            for (int axis = first; axis <= last; ++axis) device.axes[axis].deadZone = value;
        }
        return DI_OK;
    }

    HRESULT WINAPI Acquire() override {
        DeviceRecord& device = *device_;
        if (device.format == nullptr) return DIERR_INVALIDPARAM;
        if (device.kind == DeviceKind::Keyboard && Profile().failures.input.keyboardAcquire) return DIERR_OTHERAPPHASPRIO;
        if ((device.cooperativeLevel & DISCL_FOREGROUND) && GetForegroundWindow() != device.window)
            return DIERR_OTHERAPPHASPRIO;
        if (device.acquired) return S_FALSE;
        device.acquired = true;
        device.haveLastState = false;
        return DI_OK;
    }

    HRESULT WINAPI Unacquire() override {
        DeviceRecord& device = *device_;
        if (!device.acquired) return DI_NOEFFECT;
        LoseAcquisition();
        return DI_OK;
    }

    HRESULT WINAPI GetDeviceInfo(LPDIDEVICEINSTANCEA instance) override {
        if (instance == nullptr || instance->dwSize != sizeof(DIDEVICEINSTANCEA)) return DIERR_INVALIDPARAM;
        const DeviceRecord& device = *device_;
        std::memset(reinterpret_cast<BYTE*>(instance) + sizeof(DWORD), 0, sizeof(*instance) - sizeof(DWORD));
        std::string name;
        switch (device.kind) {
            case DeviceKind::Keyboard:
                instance->guidInstance = instance->guidProduct = GUID_SysKeyboard;
                instance->dwDevType = DIDEVTYPE_KEYBOARD;
                name = "Keyboard";
                break;
            case DeviceKind::Mouse:
                instance->guidInstance = instance->guidProduct = GUID_SysMouse;
                instance->dwDevType = DIDEVTYPE_MOUSE;
                name = "Mouse";
                break;
            case DeviceKind::Joystick:
                instance->guidInstance = instance->guidProduct = PadInstanceGuid(device.pad.id);
                instance->dwDevType = DIDEVTYPE_JOYSTICK;
                name = device.pad.name;
                break;
        }
        std::snprintf(instance->tszInstanceName, sizeof(instance->tszInstanceName), "%s", name.c_str());
        std::snprintf(instance->tszProductName, sizeof(instance->tszProductName), "%s", name.c_str());
        return DI_OK;
    }

    HRESULT WINAPI CreateEffect(REFGUID effectType, LPCDIEFFECT effect, LPDIRECTINPUTEFFECT* created,
                                LPUNKNOWN outer) override {
        if (created == nullptr) return DIERR_INVALIDPARAM;
        *created = nullptr;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        return dinput::CreateEffect(device_, effectType, effect, created);
    }

    HRESULT WINAPI Poll() override {
        DeviceRecord& device = *device_;
        if (device.kind != DeviceKind::Joystick) return DI_NOEFFECT;
        if (!device.acquired) return DIERR_NOTACQUIRED;
        DIJOYSTATE state;
        return ReadPad(state) ? DI_OK : DIERR_INPUTLOST;
    }

private:
    // The last reference gone, the device gives up the input it held and
    // tells its effects that it is gone.
    ~InputDevice() override {
        Unacquire();
        SetEventNotification(nullptr);
        device_->released = true;
        if (device_->kind == DeviceKind::Joystick) HostInput().ClosePad(device_->pad.id);
    }

    bool LostForeground() const {
        const DeviceRecord& device = *device_;
        return (device.cooperativeLevel & DISCL_FOREGROUND) && GetForegroundWindow() != device.window;
    }

    void LoseAcquisition() {
        device_->acquired = false;
        StopEffects(*device_);
    }

    // Reads the pad, sets its event when the state changed since the last
    // read and keeps its rumble going past SDL2's longest rumble.
    bool ReadPad(DIJOYSTATE& state) {
        DeviceRecord& device = *device_;
        PadReading reading;
        if (!HostInput().ReadPad(device.pad.id, reading)) {
            LoseAcquisition();
            return false;
        }
        state = ToJoystickState(device, reading);
        if (device.haveLastState && std::memcmp(&state, &device.lastState, sizeof(state)) != 0 &&
            device.event != nullptr)
            SetEvent(device.event);
        device.lastState = state;
        device.haveLastState = true;
        if (device.rumbling && timeGetTime() - device.rumbleSentAt >= kRumbleRefreshMilliseconds)
            UpdateRumble(device);
        return true;
    }

    std::shared_ptr<DeviceRecord> device_;
};

}  // namespace

GUID PadInstanceGuid(int32_t padId) {
    return GUID{static_cast<DWORD>(padId), 0x5041u, 0x4400u, {0x4Bu, 0x49u, 0x4Cu, 0x4Eu, 0x50u, 0x41u, 0x44u, 0x00u}};
}

bool PadIdOfGuid(REFGUID guid, int32_t& padId) {
    const GUID pattern = PadInstanceGuid(0);
    if (guid.Data2 != pattern.Data2 || guid.Data3 != pattern.Data3 ||
        std::memcmp(guid.Data4, pattern.Data4, sizeof(guid.Data4)) != 0)
        return false;
    padId = static_cast<int32_t>(guid.Data1);
    return true;
}

HRESULT CreateDevice(int version, REFGUID instance, void** created) {
    auto device = std::make_shared<DeviceRecord>();
    int32_t padId = -1;
    if (IsEqualGUID(instance, GUID_SysKeyboard)) {
        if (Profile().failures.input.createKeyboard) return DIERR_DEVICENOTREG;
        device->kind = DeviceKind::Keyboard;
        HostInput().Start();
    } else if (IsEqualGUID(instance, GUID_SysMouse)) {
        if (Profile().failures.input.createMouse) return DIERR_DEVICENOTREG;
        device->kind = DeviceKind::Mouse;
    } else if (PadIdOfGuid(instance, padId) && HostInput().FindPad(padId, device->pad) && HostInput().OpenPad(padId)) {
        device->kind = DeviceKind::Joystick;
    } else {
        return DIERR_DEVICENOTREG;
    }
    if (version == 8) {
        *created = static_cast<IDirectInputDevice8A*>(new InputDevice<IDirectInputDevice8A>(device));
    } else {
        *created = static_cast<IDirectInputDevice7A*>(new InputDevice<IDirectInputDevice7A>(device));
    }
    return DI_OK;
}

void UpdateRumble(DeviceRecord& device) {
    if (device.kind != DeviceKind::Joystick || device.released) return;
    auto motor = [](DWORD strength) {
        return static_cast<uint16_t>(std::min<DWORD>(strength, 10000) * 65535u / 10000u);
    };
    HostInput().RumblePad(device.pad.id, motor(device.constantForceStrength), motor(device.sineStrength), 0xFFFF);
    device.rumbling = device.constantForceStrength != 0 || device.sineStrength != 0;
    device.rumbleSentAt = timeGetTime();
}

void StopEffects(DeviceRecord& device) {
    const bool wasRumbling = device.constantForceStrength != 0 || device.sineStrength != 0;
    device.constantForceStrength = 0;
    device.sineStrength = 0;
    if (wasRumbling) UpdateRumble(device);
}

}  // namespace platform::dinput
