// What the DirectInput objects share: the device record behind a device
// interface and its effects, and the makers of each object. Private to
// platform/dinput.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/com/object_base.h"
#include "platform/dinput/dinput.h"
#include "platform/host/host_input.h"

namespace platform::com {
template <>
struct InterfaceId<IDirectInput7A> {
    static constexpr const GUID& value = IID_IDirectInput7A;
};
template <>
struct InterfaceId<IDirectInput8A> {
    static constexpr const GUID& value = IID_IDirectInput8A;
};
template <>
struct InterfaceId<IDirectInputDevice7A> {
    static constexpr const GUID& value = IID_IDirectInputDevice7A;
};
template <>
struct InterfaceId<IDirectInputDevice8A> {
    static constexpr const GUID& value = IID_IDirectInputDevice8A;
};
template <>
struct InterfaceId<IDirectInputEffect> {
    static constexpr const GUID& value = IID_IDirectInputEffect;
};
}  // namespace platform::com

namespace platform::dinput {

enum class DeviceKind { Keyboard, Mouse, Joystick };

// Eight axes at most: X, Y, Z, Rz, Rx, Ry and the two sliders, in the order
// SDL2 numbers a joystick's axes.
constexpr int MaxAxes = 8;
// DIJOYSTATE offset of each axis, by SDL2 axis number.
constexpr DWORD AxisOffsets[MaxAxes] = {DIJOFS_X,  DIJOFS_Y,  DIJOFS_Z,         DIJOFS_RZ,
                                        DIJOFS_RX, DIJOFS_RY, DIJOFS_SLIDER(0), DIJOFS_SLIDER(1)};

struct AxisSettings {
    LONG minimum = 0;
    LONG maximum = 65535;
    DWORD deadZone = 0;  // 0 to 10000 of the axis's half range around its centre
};

// One device, shared by its interface object and its effects, so that an
// effect that outlives its device finds it gone.
struct DeviceRecord {
    DeviceKind kind = DeviceKind::Keyboard;
    PadInfo pad;  // joysticks only
    bool released = false;
    const DIDATAFORMAT* format = nullptr;
    HWND window = nullptr;
    DWORD cooperativeLevel = DISCL_NONEXCLUSIVE | DISCL_BACKGROUND;
    HANDLE event = nullptr;
    bool acquired = false;
    AxisSettings axes[MaxAxes];
    DWORD bufferSize = 0;
    bool haveLastState = false;
    DIJOYSTATE lastState{};
    // Vibration: the strength each playing effect asks of the motors (0 to
    // 10000), and when the rumble was last sent (it lasts at most 65 s).
    DWORD constantForceStrength = 0;
    DWORD sineStrength = 0;
    DWORD rumbleSentAt = 0;
    bool rumbling = false;
};

// Sends the motors' strengths of the playing effects to the pad.
void UpdateRumble(DeviceRecord& device);

// The instance GUID of a pad and back.
GUID PadInstanceGuid(int32_t padId);
bool PadIdOfGuid(REFGUID guid, int32_t& padId);

// Makes a DirectInput object of `version` (7 or 8), not yet initialised, and
// returns its `iid` interface: the class factories behind CoCreateInstance.
HRESULT CreateDirectInput7(REFIID iid, void** object);
HRESULT CreateDirectInput8(REFIID iid, void** object);

// Makes a device of `version` (7 or 8) for an instance GUID: the system
// keyboard, the system mouse or an attached pad. The object is returned as
// IDirectInputDevice7A or IDirectInputDevice8A.
HRESULT CreateDevice(int version, REFGUID instance, void** device);

// Makes an effect of a joystick device.
HRESULT CreateEffect(const std::shared_ptr<DeviceRecord>& device, REFGUID effectType, LPCDIEFFECT effect,
                     LPDIRECTINPUTEFFECT* created);

// The effects of a device stop when it is unacquired or released.
void StopEffects(DeviceRecord& device);

}  // namespace platform::dinput
